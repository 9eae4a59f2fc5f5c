#pragma once
#include "core/OperatorDialogs.h"

class QWidget;

namespace app {

class QtOperatorDialogs : public core::OperatorDialogs {
public:
    void SetParent(QWidget* parentWidget) { parent = parentWidget; }
    void Message(const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    std::optional<std::string> Prompt(const std::string& title, const std::string& text,
                                      const std::string& initial) override;
    FileSelection SelectFile(const std::string& title, const std::string& startDirectory,
                             const std::string& defaultName, const std::string& filter,
                             bool forWriting) override;
    std::optional<PrintTarget> SelectPrinter() override;

private:
    QWidget* parent = nullptr;
};

} // namespace app
