#pragma once
// The settings subsystem's side of the program: the panel settings file and the table
// attributes page. Implemented in this folder's panel files.
class Program;

// Start-up reads the layout part and, later, the communication part of PanelSettings.cfg.
void ReadPanelSettingsLayout(Program& program);
void ReadPanelSettingsCommunication(Program& program);
// Written at close and at ACCEPT.
void WritePanelSettings(Program& program);

// Builds the table attributes page into the main panel.
void BuildTableAttributesPage(Program& program);
