#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "common/ui/prompts.h"

namespace krelix::test {

// Records every box and chooser a window opens and answers from scripted queues; an empty
// queue answers OK / Yes / cancel (empty path).
class FakePrompts final : public Prompts {
  public:
    struct Shown {
        QString kind;  // "inform", "okcancel", "yesno", "folder", "save"
        QString caption;
        QString text;
    };

    std::deque<bool> answers;   // for AskOkCancel and AskYesNo
    std::deque<QString> paths;  // for ChooseFolder and ChooseSaveFile
    std::vector<Shown> shown;

    void Inform(const QString& caption, const QString& text, PromptIcon) override {
        shown.push_back({QStringLiteral("inform"), caption, text});
    }
    bool AskOkCancel(const QString& caption, const QString& text) override {
        shown.push_back({QStringLiteral("okcancel"), caption, text});
        return Next(answers, true);
    }
    bool AskYesNo(const QString& caption, const QString& text) override {
        shown.push_back({QStringLiteral("yesno"), caption, text});
        return Next(answers, true);
    }
    QString ChooseFolder(const QString& title, const QString&) override {
        shown.push_back({QStringLiteral("folder"), title, QString()});
        return Next(paths, QString());
    }
    QString ChooseSaveFile(const QString& title, const QString&, const QString&) override {
        shown.push_back({QStringLiteral("save"), title, QString()});
        return Next(paths, QString());
    }

    QStringList Texts() const {
        QStringList out;
        for (const Shown& s : shown) {
            out << s.text;
        }
        return out;
    }

  private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace krelix::test
