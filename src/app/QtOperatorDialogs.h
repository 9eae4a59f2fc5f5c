#pragma once
#include "core/OperatorDialogs.h"

class QWidget;

namespace core {
class CommandGate;
}

namespace app {

// Once the window has closed, no popup opens: a command still ending gets the answer the
// operator's cancel would give, and the run ends instead of waiting for a click on nothing.
class QtOperatorDialogs : public core::OperatorDialogs {
public:
    void SetParent(QWidget* parentWidget) { parent = parentWidget; }
    void WatchGate(const core::CommandGate* commandGate) { gate = commandGate; }
    void Message(const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    bool ConfirmLoss(const std::string& title, const std::string& text) override;
    std::optional<std::string> Prompt(const std::string& title, const std::string& text,
                                      const std::string& initial) override;
    FileSelection SelectFile(const std::string& title, const std::string& startDirectory,
                             const std::string& defaultName, const std::string& filter,
                             bool forWriting) override;
    std::optional<PrintTarget> SelectPrinter() override;

private:
    bool Closed() const;

    QWidget* parent = nullptr;
    const core::CommandGate* gate = nullptr;
};

} // namespace app
