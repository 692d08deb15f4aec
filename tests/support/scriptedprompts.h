#pragma once
// Answers the window's questions the way a test scripts them, and records every message and
// question, so that window tests run without a modal dialog.
#include "ui/userprompts.h"

#include <QStringList>
#include <algorithm>
#include <deque>
#include <functional>

namespace hl::test {

class ScriptedPrompts : public UserPrompts {
public:
    struct Message {
        MessageIcon icon;
        QString caption;
        QString text;
    };
    struct Question {
        QString title;
        QString text;
        QString yesCaption;
        QString noCaption;
    };

    // Answers, taken in order; when a list runs out: "no", cancel. A file answer with an empty
    // path cancels.
    std::deque<bool> confirmAnswers;
    std::deque<ListFileChoice> fileAnswers;
    std::deque<QString> folderAnswers;

    std::vector<Message> messages;
    std::vector<Question> questions;
    QStringList folderPickerStarts;
    int beeps = 0;

    // With holdOpenMessages, the boxes of openMessage stay open until the test closes them; else
    // each is closed as soon as it opens.
    bool holdOpenMessages = false;
    std::deque<std::function<void()>> openMessages; // how to close each box still open, oldest first
    int mostOpenAtOnce = 0;

    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override {
        messages.push_back({icon, caption, text});
    }
    void openMessage(MessageIcon icon, const QString& caption, const QString& text,
                     std::function<void()> closed) override {
        messages.push_back({icon, caption, text});
        if (!holdOpenMessages) return closed();
        openMessages.push_back(std::move(closed));
        mostOpenAtOnce = std::max(mostOpenAtOnce, int(openMessages.size()));
    }
    // Closes the oldest open box, as its user would; false when no box is open.
    bool closeOldestMessage() {
        if (openMessages.empty()) return false;
        const std::function<void()> closed = std::move(openMessages.front());
        openMessages.pop_front();
        closed();
        return true;
    }
    bool confirm(const QString& title, const QString& text, const QString& yesCaption,
                 const QString& noCaption) override {
        questions.push_back({title, text, yesCaption, noCaption});
        return take(confirmAnswers, false);
    }
    std::optional<ListFileChoice> chooseFileToOpen(const QString& filter, const QString&) override {
        return nextFile(filter);
    }
    std::optional<ListFileChoice> chooseFileToSave(const QString& filter, const QString&) override {
        return nextFile(filter);
    }
    QString chooseFolder(const QString& title, const QString& startFolder) override {
        folderPickerStarts << title + QLatin1Char('|') + startFolder;
        return take(folderAnswers, QString());
    }
    void beep() override { ++beeps; }

    QStringList fileFilters;

private:
    std::optional<ListFileChoice> nextFile(const QString& filter) {
        fileFilters << filter;
        const ListFileChoice answer = take(fileAnswers, ListFileChoice());
        if (answer.path.isEmpty()) return std::nullopt;
        return answer;
    }

    template <typename T> static T take(std::deque<T>& answers, T fallback) {
        if (answers.empty()) return fallback;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace hl::test
