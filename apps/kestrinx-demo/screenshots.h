// kestrinx-demo --screenshot: the demo's views rendered to PNG files without a screen, for the
// README and for checking the Qt host by eye. With a fixed clock (2026-12-09 10:30) it writes
//   design.png               the form in design mode after one edit (Undo names it), two
//                            controls selected
//   menus.png                the File, Edit and Form menus side by side
//   general-1-general.png, general-2-colorusebeep.png, general-3-format.png
//                            the General page on that selection, one tab each
//   run.png                  the form read back from its saved text, in a window of the size
//                            it asks for, after a scripted entry:
//                            a name, an amount, "T+1" in the date box and "25:61" in the time
//                            box, each left with Tab
//   positions.png            the nine caption positions in both appearances
#pragma once

#include <QString>
#include <QStringList>

namespace kestrinx::demo {

// Writes the screenshots of the form in `formPath` into `dir` (created when missing) and
// returns their paths in the order above. Throws std::runtime_error when the form cannot be
// opened or a file cannot be written.
QStringList writeScreenshots(const QString& formPath, const QString& dir);

}  // namespace kestrinx::demo
