#include "app/AppState.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"
#include "params/ParameterPanels.h"

void WriteParameterFile(Program& program) {
    program.dialogs.Message("ATTENTION!", "No file was selected!");
}

void ReadParameterFile(Program& program) {
    program.dialogs.Message("ATTENTION!", "No file was selected!");
}
