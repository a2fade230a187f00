#pragma once

// The hardware share of start-up: serial privacy for every disk name, and the
// equipment monitor's disk and network watches, set up once per process
// however many controllers are made.
namespace EquipmentWatches {
void start(bool suppressSerials);
}
