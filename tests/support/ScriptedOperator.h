#pragma once
// Stands in for the operator in tests: answers every popup from a script and records each one
// (kind, title, text), so tests can assert the exact messages.
#include "core/OperatorDialogs.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedOperator : public core::OperatorDialogs {
public:
    struct Popup {
        std::string kind; // "message", "confirm", "loss", "prompt", "file", "printer"
        std::string title;
        std::string text;
    };

    void Message(const std::string& title, const std::string& text) override;
    bool Confirm(const std::string& title, const std::string& text) override;
    bool ConfirmLoss(const std::string& title, const std::string& text) override;
    std::optional<std::string> Prompt(const std::string& title, const std::string& text,
                                      const std::string& initial) override;
    FileSelection SelectFile(const std::string& title, const std::string& startDirectory,
                             const std::string& defaultName, const std::string& filter,
                             bool forWriting) override;
    std::optional<PrintTarget> SelectPrinter() override;

    // Answers, taken in order; when a queue is empty: confirm and loss say no, prompt and
    // printer are cancelled, the file dialog returns no file.
    std::deque<bool> confirmAnswers;
    std::deque<bool> lossAnswers;
    std::deque<std::optional<std::string>> promptAnswers;
    std::deque<FileSelection> fileAnswers;
    std::deque<std::optional<PrintTarget>> printerAnswers;

    std::vector<Popup> popups;
    // Arguments of the last file dialog.
    std::string lastFileTitle, lastFileStartDirectory, lastFileDefaultName, lastFileFilter;

    int CountOf(const std::string& kind) const;
    bool Saw(const std::string& title, const std::string& text) const;
};
