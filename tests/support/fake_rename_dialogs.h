#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "operations/ui/rename/rename_dialogs.h"

namespace krelix::test {

// Answers the rename dialogs from queues; an empty queue answers Cancel.
class FakeRenameDialogs final : public RenameDialogs {
  public:
    std::deque<QString> names;
    std::deque<BulkRenameFields> rules;
    QStringList askedFor;
    int bulkAsked = 0;

    std::optional<QString> AskNewName(const QString& currentName) override {
        askedFor << currentName;
        if (names.empty()) {
            return std::nullopt;
        }
        QString name = names.front();
        names.pop_front();
        return name;
    }
    std::optional<BulkRenameFields> AskBulkFields() override {
        ++bulkAsked;
        if (rules.empty()) {
            return std::nullopt;
        }
        BulkRenameFields rule = rules.front();
        rules.pop_front();
        return rule;
    }
};

}  // namespace krelix::test
