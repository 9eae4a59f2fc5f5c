#pragma once
class Program;

// Measures turn after turn until the running flag is cleared; pending SEND and GET are served
// between two measurements, SEND first.
void RunGoLoop(Program& program);

// Copies the measurement words into the current frame and refreshes every live display.
void ShowMeasurement(Program& program);

// Writes the current frame to the displays of the data panel, the big panels and the swatch.
void UpdateLiveDisplays(Program& program);
