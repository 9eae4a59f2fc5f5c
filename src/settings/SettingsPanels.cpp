#include "settings/SettingsPanels.h"

#include "app/Program.h"

void ReadPanelSettingsLayout(Program&) {}

void ReadPanelSettingsCommunication(Program&) {}

void WritePanelSettings(Program&) {}

void BuildTableAttributesPage(Program&) {}
