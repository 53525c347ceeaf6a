#pragma once

#include "core/UserInterface.h"

#include <deque>
#include <optional>
#include <vector>

// Answers file dialogs from a script (a path, or nullopt for Cancel) and records every
// request it was shown. With the script used up it answers Cancel.
class ScriptedFileChooser : public FileChooser {
public:
    std::optional<QString> ChooseFile(const FileDialogRequest& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        std::optional<QString> answer;
        answer.swap(answers.front());
        answers.pop_front();
        return answer;
    }
    std::vector<FileDialogRequest> requests;
    std::deque<std::optional<QString>> answers;
};
