// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpviewer/frmHelp.h"

#include "helppages/helppage.h"
#include "helppages/helppaths.h"
#include "helppages/readablecolours.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/uifont.h"
#include "ui/windowplacement.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

using namespace kr52;

frmHelp::frmHelp(const QString &programDir, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_programDir(programDir), rtbHelpText(new QTextEdit(this)),
      comDone(new QPushButton(QStringLiteral("&Close"), this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setFixedSize(px(5340), px(6075));

    rtbHelpText->setObjectName(QStringLiteral("rtbHelpText"));
    placeInTwips(rtbHelpText, 0, 0, 5355, 5775);
    // Pages are read only and hold no links. The caret moves with the keys as in a document, so
    // a screen reader can read a page line by line, word by word or letter by letter.
    rtbHelpText->setReadOnly(true);
    rtbHelpText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtbHelpText->setUndoRedoEnabled(false);
    rtbHelpText->installEventFilter(this);

    comDone->setObjectName(QStringLiteral("comDone"));
    placeInTwips(comDone, 0, 5760, 5355, 315);
    comDone->setAutoDefault(false);
    comDone->setDefault(false);
    connect(comDone, &QPushButton::clicked, this, &frmHelp::comDone_Click);

    setTabOrder(rtbHelpText, comDone);
}

bool frmHelp::SetHelpFile(qint16 item)
{
    return loadPage(helpTopicPath(m_programDir, item));
}

bool frmHelp::ShowFAQ()
{
    return loadPage(faqPagePath(m_programDir));
}

bool frmHelp::ShowManual()
{
    return loadPage(manualPagePath(m_programDir));
}

bool frmHelp::loadPage(const QString &path)
{
    const QString reason = loadHelpPage(path, *rtbHelpText->document());
    if (!reason.isEmpty()) {
        showMessage(applicationTitle(), QStringLiteral("Could not open the help page %1:\n%2").arg(path, reason),
                    QMessageBox::Warning, parentWidget());
        return false;
    }
    growPage(*rtbHelpText->document(), layoutScale());
    fitColoursToPalette();
    // The window has no title bar; its title is what assistive tools announce it by.
    setWindowTitle(pageTitle(*rtbHelpText->document()));
    rtbHelpText->moveCursor(QTextCursor::Start);
    rtbHelpText->verticalScrollBar()->setValue(0);
    return true;
}

void frmHelp::fitColoursToPalette()
{
    makeColoursReadable(*rtbHelpText->document(), rtbHelpText->palette().color(QPalette::Base));
}

bool frmHelp::eventFilter(QObject *watched, QEvent *event)
{
    // A new theme: the page's colours are measured again against the viewer's new background.
    if (watched == rtbHelpText && event->type() == QEvent::PaletteChange)
        fitColoursToPalette();
    return QDialog::eventFilter(watched, event);
}

void frmHelp::comDone_Click()
{
    hide();
}

void frmHelp::reject() {}

void frmHelp::keyPressEvent(QKeyEvent *event)
{
    // "Close" is no default button, so Enter reaches it only while it has the focus.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (enter && plain && focusWidget() == comDone) {
        comDone->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmHelp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred each time it opens, on the screen of the window that opened it.
    centreOnScreen(this, parentWidget());
    // The caret shows in the page at once, as after Tab, so the focus is seen from the start.
    setAttribute(Qt::WA_KeyboardFocusChange);
    rtbHelpText->setFocus(Qt::OtherFocusReason);
}
