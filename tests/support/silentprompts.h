#pragma once
// Prompts for programs that must never stop at a dialog (the screenshot taker, the benchmarks):
// every message is dropped, every question answered "no" or cancelled.
#include "ui/userprompts.h"

namespace hl::test {

class SilentPrompts : public UserPrompts {
public:
    void showMessage(MessageIcon, const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&, const QString&, const QString&) override { return false; }
    std::optional<ListFileChoice> chooseFileToOpen(const QString&, const QString&) override { return {}; }
    std::optional<ListFileChoice> chooseFileToSave(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    void beep() override {}
};

} // namespace hl::test
