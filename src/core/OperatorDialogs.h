#pragma once
// Every popup the operator sees goes through here: Qt dialogs in the program, a scripted
// stand-in in tests that answers and records each popup.
#include <optional>
#include <string>

namespace core {

class OperatorDialogs {
public:
    enum class FileChoice { None, Existing, New };
    struct FileSelection {
        FileChoice choice = FileChoice::None;
        std::string path;
    };

    virtual ~OperatorDialogs() = default;
    virtual void Message(const std::string& title, const std::string& text) = 0;
    // Yes/no question; true for yes.
    virtual bool Confirm(const std::string& title, const std::string& text) = 0;
    // Yes/no question before the operator's work is lost: no is the default answer, so a hasty
    // Enter keeps the work.
    virtual bool ConfirmLoss(const std::string& title, const std::string& text) = 0;
    virtual std::optional<std::string> Prompt(const std::string& title, const std::string& text,
                                              const std::string& initial) = 0;
    virtual FileSelection SelectFile(const std::string& title, const std::string& startDirectory,
                                     const std::string& defaultName, const std::string& filter,
                                     bool forWriting) = 0;
    // Where a printout goes: a printer by name, or a PDF file (the printer dialog offers both).
    struct PrintTarget {
        std::string printerName;
        std::string pdfFile; // not empty: print into this file
    };
    // The operator's choice in the printer dialog, or nothing when cancelled.
    virtual std::optional<PrintTarget> SelectPrinter() = 0;
};

} // namespace core
