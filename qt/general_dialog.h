/// \file
/// kestrinx::qt::GeneralDialog: the General property page of the Kestrin control as a dialog
/// over a selection of KestrinWidgets, as a form designer opens it.
///
///   kestrinx::qt::GeneralDialog dialog({first, second}, window);
///   dialog.exec();   // OK applies and closes, Apply applies and stays, Cancel closes
///
/// The page shows its three tabs ("General", "ColorUse/Beep", "Format") loaded from the first
/// selected control. Apply is enabled once the user has changed something on the page; applying
/// writes the page's fifteen properties to every selected control, in the selection's order. An
/// apply the page refuses (a BoxWidth or Interval box that holds no 32-bit whole number) changes
/// no control: the dialog shows the page's message in a message box and stays open, still
/// changed. A control destroyed while the dialog is open counts as gone: applying to it fails.
#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class QDialogButtonBox;

namespace kestrinx::qt {

class KestrinWidget;

/// The General property page as a dialog over a selection of KestrinWidgets (see the file).
class GeneralDialog : public QDialog {
  Q_OBJECT

 public:
  /// The page over `selection`, loaded from its first control; a failure to load is shown in a
  /// message box.
  explicit GeneralDialog(QList<KestrinWidget*> selection, QWidget* parent = nullptr);
  /// Closes the page; nothing more is applied.
  ~GeneralDialog() override;

  /// Applies the page to every selected control. False when the page refused or a control
  /// failed: the message box says why, and the dialog stays as it was (Apply still enabled).
  bool apply();

  /// OK: applies when something changed, and closes unless the apply failed.
  void accept() override;

 Q_SIGNALS:
  /// The page was applied to every selected control (Apply, or OK after a change), so that a
  /// designer can record what the apply changed as one step of its own.
  void applied();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace kestrinx::qt
