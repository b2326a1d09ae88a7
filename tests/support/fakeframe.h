#pragma once

#include <QHash>
#include <QPointer>
#include <QString>

#include "platform/frame.h"
#include "tests/support/scriptedprompter.h"

// A Frame for tests of single windows: child windows become top-level windows, the caption
// panel is a plain text, prompts go to a ScriptedPrompter.
class FakeFrame : public Frame {
  public:
    ~FakeFrame() override;

    void setCaptionPanelText(const QString& text) override { captionPanel = text; }
    using Frame::showChild;
    QWidget* showChild(const QString& key, const std::function<QWidget*()>& create) override;
    QWidget* activeChild() const override { return lastShown_; }
    Prompter& prompter() override { return scripted; }

    // The open child registered under `key`, or nullptr.
    QWidget* child(const QString& key) const { return children_.value(key); }
    int openChildren() const;

    QString captionPanel;
    ScriptedPrompter scripted;
    int showCount = 0;

  private:
    QHash<QString, QPointer<QWidget>> children_;
    QPointer<QWidget> lastShown_;
};
