#pragma once
// Every message the program shows a person goes through here: message boxes, Yes/No and
// OK/Cancel confirmations, input boxes and the general error box. The program installs the
// Qt implementation at start-up; tests install ScriptedDialogs, which records what was shown
// and answers from a queue.
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

namespace kv {

// The answer to a question with the buttons Sí / No / Cancelar.
enum class Reply { Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void message(const QString& text) = 0;                     // OK only
    virtual bool confirm(const QString& text) = 0;                     // Yes / No, true for Yes
    virtual bool okCancel(const QString& text) = 0;                    // OK / Cancel, true for OK
    virtual Reply yesNoCancel(const QString& text) = 0;                // Sí / No / Cancelar
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> input(const QString& caption, const QString& prompt,
                                         const QString& initial = QString(), bool password = false) = 0;
    virtual void error(const QString& text) = 0;                       // the general error box
};

// The installed implementation. Never null: until something is installed, a silent recorder
// answers "No"/"Cancel" so that code run without a user never blocks.
Dialogs& dialogs();
void installDialogs(Dialogs* d);  // not owned

// Shorthands used all over the program.
inline void ShowMessage(const QString& t) { dialogs().message(t); }
inline bool AskYesNo(const QString& t) { return dialogs().confirm(t); }

// Records every text shown and answers from queues. Used by tests and by headless runs.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString kind;  // "message", "confirm", "okCancel", "yesNoCancel", "input", "error"
        QString text;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;                     // for confirm and okCancel; empty -> false
    std::deque<Reply> replies;                    // for yesNoCancel; empty -> No
    std::deque<std::optional<QString>> inputs;    // for input; empty -> nullopt

    void message(const QString& t) override { shown.push_back({QStringLiteral("message"), t}); }
    bool confirm(const QString& t) override { return answer(QStringLiteral("confirm"), t); }
    bool okCancel(const QString& t) override { return answer(QStringLiteral("okCancel"), t); }
    Reply yesNoCancel(const QString& t) override;
    std::optional<QString> input(const QString& caption, const QString& prompt, const QString& initial,
                                 bool password) override;
    void error(const QString& t) override { shown.push_back({QStringLiteral("error"), t}); }

    QStringList texts() const;             // every text shown, in order
    QStringList texts(const QString& kind) const;
    QString last() const { return shown.empty() ? QString() : shown.back().text; }
    void clear()
    {
        shown.clear();
        answers.clear();
        replies.clear();
        inputs.clear();
    }

private:
    bool answer(const QString& kind, const QString& t);
};

// Installs a dialogs object for the lifetime of the guard, then puts the previous one back.
class DialogsScope {
public:
    explicit DialogsScope(Dialogs* d);
    ~DialogsScope();
    DialogsScope(const DialogsScope&) = delete;
    DialogsScope& operator=(const DialogsScope&) = delete;

private:
    Dialogs* previous_;
};

}  // namespace kv
