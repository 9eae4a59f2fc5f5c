#pragma once
class Program;

// Shows the serial or the TCP/IP fields of the communication page, after the protocol selector.
void ShowLinkFields(Program& program);
// Opens the chosen link and identifies the sensor.
void TryToConnect(Program& program);
// Reads the firmware identification, then the sensor's parameters.
void IdentifySensor(Program& program);
// Sends the new baud rate, reopens the port at that rate and connects again.
void ChangeBaudrate(Program& program);
