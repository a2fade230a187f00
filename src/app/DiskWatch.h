#pragma once

// The disks' share of start-up: serial privacy for every disk name, and the
// equipment monitor's disk watch, set up once per process however many
// controllers are made.
namespace DiskWatch {
void start(bool suppressSerials);
}
