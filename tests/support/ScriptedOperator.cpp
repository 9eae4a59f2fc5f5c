#include "ScriptedOperator.h"

#include <algorithm>

void ScriptedOperator::Message(const std::string& title, const std::string& text) {
    popups.push_back({"message", title, text});
}

bool ScriptedOperator::Confirm(const std::string& title, const std::string& text) {
    popups.push_back({"confirm", title, text});
    if (confirmAnswers.empty()) return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

bool ScriptedOperator::ConfirmLoss(const std::string& title, const std::string& text) {
    popups.push_back({"loss", title, text});
    if (lossAnswers.empty()) return false;
    const bool answer = lossAnswers.front();
    lossAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedOperator::Prompt(const std::string& title,
                                                    const std::string& text, const std::string&) {
    popups.push_back({"prompt", title, text});
    if (promptAnswers.empty()) return std::nullopt;
    auto answer = promptAnswers.front();
    promptAnswers.pop_front();
    return answer;
}

core::OperatorDialogs::FileSelection ScriptedOperator::SelectFile(const std::string& title,
                                                                  const std::string& startDirectory,
                                                                  const std::string& defaultName,
                                                                  const std::string& filter, bool) {
    popups.push_back({"file", title, defaultName});
    lastFileTitle = title;
    lastFileStartDirectory = startDirectory;
    lastFileDefaultName = defaultName;
    lastFileFilter = filter;
    if (fileAnswers.empty()) return {};
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<core::OperatorDialogs::PrintTarget> ScriptedOperator::SelectPrinter() {
    popups.push_back({"printer", "", ""});
    if (printerAnswers.empty()) return std::nullopt;
    auto answer = printerAnswers.front();
    printerAnswers.pop_front();
    return answer;
}

int ScriptedOperator::CountOf(const std::string& kind) const {
    return int(std::count_if(popups.begin(), popups.end(),
                             [&](const Popup& p) { return p.kind == kind; }));
}

bool ScriptedOperator::Saw(const std::string& title, const std::string& text) const {
    return std::any_of(popups.begin(), popups.end(),
                       [&](const Popup& p) { return p.title == title && p.text == text; });
}
