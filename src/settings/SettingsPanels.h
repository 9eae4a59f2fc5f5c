#pragma once
// The settings subsystem's side of the program: the panel settings file and the table
// attributes page. Implemented in this folder's panel files.
#include <cstddef>
#include <string>

class Program;
class QString;

// Start-up reads the layout part and, later, the communication part of PanelSettings.cfg.
void ReadPanelSettingsLayout(Program& program);
void ReadPanelSettingsCommunication(Program& program);
// Written at close and at ACCEPT.
void WritePanelSettings(Program& program);

// Builds the table attributes page into the main panel.
void BuildTableAttributesPage(Program& program);

// Helpers of the side-file dialogs.
// The directory a file dialog starts in: the remembered path itself when it names a directory,
// otherwise the directory that holds it.
std::string DialogStartDirectory(const std::string& rememberedPath);
// Tells the operator that a file the operator chose to save could not be written.
void ReportUnwrittenFile(Program& program, const std::string& path);
// Control text as file text (UTF-8), cut to at most `maxBytes` without splitting a character.
std::string SpecificationText(const QString& text, std::size_t maxBytes);
