#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "platform/childhost.h"
#include "tests/support/scriptedprompter.h"

// Result tables that remember what was recorded, one list of texts per call.
class RecordingTables : public ResultTables {
  public:
    void recordFrictionResult(const QString& dText, const QString& lText, const QString& tText,
                              const QString& gText, const QString& kText, const QString& vText,
                              const QString& hfText) override {
        frictionCalls.append({dText, lText, tText, gText, kText, vText, hfText});
    }
    void recordLocalResult(const QString& zetaText, const QString& vText, const QString& tText,
                           const QString& hfText) override {
        localCalls.append({zetaText, vText, tText, hfText});
    }

    QList<QStringList> frictionCalls;
    QList<QStringList> localCalls;
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
