#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class Prompter;
struct ResultRowTexts;       // core/lossrecord.h
enum class TableKind : int;  // core/lossrecord.h

// The two result tables, as the calculation screens reach them: a row, built by frictionRow or
// localRow, opens its table (or brings it to the front) and is appended there.
class ResultTables {
  public:
    virtual ~ResultTables() = default;
    virtual void record(TableKind kind, const ResultRowTexts& row) = 0;
};

// What a child window may ask of the main window. MainForm implements it; tests pass a fake.
class ChildHost {
  public:
    virtual ~ChildHost() = default;

    // Text of the first status bar panel, the caption panel.
    virtual void setCaptionPanelText(const QString& text) = 0;

    // Shows the one child window registered under `key`: creates it with `create` on first
    // use (the frame takes ownership; it is destroyed when closed), otherwise brings the open
    // one to the front. Returns the window's widget.
    virtual QWidget* showChild(const QString& key, const std::function<QWidget*()>& create) = 0;

    // Makes an open child window the active one again.
    virtual void activateChild(QWidget* window) = 0;

    // The active child window's widget, or nullptr.
    virtual QWidget* activeChild() const = 0;

    virtual Prompter& prompter() = 0;

    virtual ResultTables& resultTables() = 0;

    // One instance per class: the class name is the key.
    template <typename W>
    W* showChild() {
        return static_cast<W*>(showChild(QString::fromLatin1(W::staticMetaObject.className()),
                                         [this]() -> QWidget* { return new W(*this); }));
    }
};
