#include "support/ScriptedDialogs.h"

namespace dztest {

void ScriptedDialogs::information(const QString& text)
{
    shown << text;
    if (onInformation) {
        onInformation(text);
    }
}

bool ScriptedDialogs::confirm(const QString& text, dz::DefaultAnswer defaultAnswer)
{
    asked << text;
    defaults.push_back(defaultAnswer);
    if (answers.empty()) {
        return true;
    }
    const std::optional<bool> answer = answers.front();
    answers.pop_front();
    return answer.value_or(defaultAnswer == dz::DefaultAnswer::Yes);
}

bool ScriptedDialogs::answerFile(dz::FileDialogSettings& dialog)
{
    fileDialogs.push_back(dialog);
    if (files.empty()) {
        return false;
    }
    const std::optional<QString> answer = files.front();
    files.pop_front();
    if (!answer) {
        return false;
    }
    dialog.FileName = *answer;
    if (!filterChoices.empty()) {
        dialog.FilterIndex = filterChoices.front();
        filterChoices.pop_front();
    }
    return true;
}

bool ScriptedDialogs::openFile(dz::FileDialogSettings& dialog)
{
    return answerFile(dialog);
}

bool ScriptedDialogs::saveFile(dz::FileDialogSettings& dialog)
{
    return answerFile(dialog);
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor&)
{
    if (colors.empty()) {
        return std::nullopt;
    }
    const std::optional<QColor> c = colors.front();
    colors.pop_front();
    return c;
}

}  // namespace dztest
