#pragma once
// The parameter commands that other subsystems start: the connection reads the sensor's set
// after the identification, and the GO loop refreshes the image and serves pending SEND and GET.
namespace core {

class ParameterTransfers {
public:
    virtual ~ParameterTransfers() = default;
    // SEND and GET to or from the selected memory; 1 on success, -1 after a reported failure.
    virtual int SendParameters() = 0;
    virtual int GetParameters() = 0;
    // The parameter controls into the image.
    virtual void GetParametersFromPanel() = 0;
    // The panel holds changes the sensor has not been sent (a taught row, an edit, a loaded
    // file): what a GET, a connect or the close would lose.
    virtual bool PanelUnsent() = 0;
};

} // namespace core
