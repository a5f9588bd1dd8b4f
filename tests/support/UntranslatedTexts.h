#pragma once
// Finds English left in a window run in Spanish. A text passes when it is the Spanish side of one
// of the catalogues in translations/ (a template with %1 or %n matches any value put in it), a
// Spanish text of Qt's own (standard buttons), a text kept as it is (tests/i18n/kept_texts.txt:
// the plant's own texts and the like), or holds no word at all (numbers, addresses such as
// E124.5 or MW10, file names, units, mnemonics in capitals).
#include <QString>
#include <QStringList>

class QWidget;

namespace torvane::testing {

// Every text TOP and everything under it shows (titles, labels, buttons, group boxes, menus and
// their actions, tool tips, tabs, headers, combo items, placeholders, the status bar) that does
// not pass, each as «text» (ClassName). ALSO_KEPT are further texts of the test's own data.
QStringList UntranslatedTexts(const QWidget* top, const QStringList& alsoKept = {});

// The same for texts shown elsewhere, such as the command line's output.
QStringList UntranslatedTexts(const QStringList& texts, const QStringList& alsoKept = {});

}  // namespace torvane::testing
