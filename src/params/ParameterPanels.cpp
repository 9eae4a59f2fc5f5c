#include "params/ParameterPanels.h"

#include "app/AppState.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"

void BuildParameterPages(Program&) {}

void GetParametersFromPanel(Program&) {}

void PutParametersToPanel(Program&) {}

void ApplyParameterRules(Program&) {}

int SendParameters(Program& program) {
    program.state.flags.pendingSend = 0;
    return 1;
}

int GetParameters(Program& program) {
    program.state.flags.pendingGet = 0;
    return 1;
}
