#pragma once

// Puts every monitor-item class of the application into the class table.
void registerMonitorItemClasses();
