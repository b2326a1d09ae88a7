#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "core/lossrecord.h"
#include "platform/childhost.h"
#include "tests/support/scriptedprompter.h"

// Result tables that remember what was recorded, in order.
class RecordingTables : public ResultTables {
  public:
    struct Row {
        TableKind kind;
        ResultRowTexts texts;
        bool operator==(const Row& other) const {
            return kind == other.kind && texts.parameterLine == other.texts.parameterLine &&
                   texts.resultText == other.texts.resultText;
        }
    };
    void record(TableKind kind, const ResultRowTexts& row) override { rows.append({kind, row}); }

    QList<Row> rows;
};

// A ChildHost for tests of single windows: child windows become top-level windows, the caption
// panel is a plain text, prompts go to a ScriptedPrompter.
class FakeChildHost : public ChildHost {
  public:
    ~FakeChildHost() override;

    void setCaptionPanelText(const QString& text) override { captionPanel = text; }
    using ChildHost::showChild;
    QWidget* showChild(const QString& key, const std::function<QWidget*()>& create) override;
    QWidget* activeChild() const override { return lastShown_; }
    void activateChild(QWidget* window) override { lastShown_ = window; }
    Prompter& prompter() override { return scripted; }
    ResultTables& resultTables() override { return tables; }

    // The open child registered under `key`, or nullptr.
    QWidget* child(const QString& key) const { return children_.value(key); }
    int openChildren() const;

    QString captionPanel;
    ScriptedPrompter scripted;
    RecordingTables tables;
    int showCount = 0;

  private:
    QHash<QString, QPointer<QWidget>> children_;
    QPointer<QWidget> lastShown_;
};
