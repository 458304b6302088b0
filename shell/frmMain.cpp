// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/frmMain.h"

#include "app/appinfo.h"
#include "helpviewer/frmHelp.h"
#include "portdialog/frmPort.h"
#include "presets/frmPresets.h"
#include "printer/mscomm.h"
#include "printer/portkinds.h"
#include "printer/printerlink.h"
#include "printer/sendsequence.h"
#include "settings/catalogue.h"
#include "settings/numbers.h"
#include "settings/sendplan.h"
#include "shell/artwork.h"
#include "shell/cutpicture.h"
#include "shell/responsivesend.h"
#include "shell/tabpage.h"
#include "ui/accessiblenames.h"
#include "ui/controls.h"
#include "ui/messagebox.h"
#include "ui/twips.h"
#include "ui/uifont.h"
#include "ui/wheelguard.h"
#include "ui/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSvgWidget>
#include <QTabBar>
#include <QTimer>

#include <cmath>
#include <tuple>
#include <utility>

using namespace kr52;

namespace {

constexpr float zeroLine = 33.0f;
constexpr float bandTop = 3.1f;
constexpr float bandBottom = 62.9f;
constexpr float offsetLimit = 29.9f;

// Each tab's caption marks its access key: Alt+G, Alt+H, Alt+T, Alt+A (Alt+M for "Main").
const QStringList settingsPageCaptions{QStringLiteral("&General"), QStringLiteral("C&haracters"),
                                       QStringLiteral("&Tickets"), QStringLiteral("&Alignment")};

} // namespace

frmMain::frmMain(const QString &programDir, QWidget *parent, SettingsPages settingsPages)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_programDir(programDir), MSComm1(new MSComm(this)), SSTab1(new QTabWidget(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Arvel KR52 Configuration Utility"));
    setWindowIcon(windowIconPictures());
    setFont(uiFont());
    setFixedSize(px(6645), px(4485));

    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(px(60), px(60), px(6555), px(4395));
    // Clicking the tab row takes the focus, so a typed cut offset is validated then too.
    SSTab1->tabBar()->setFocusPolicy(Qt::StrongFocus);
    buildMainPage(addPage(QStringLiteral("&Main")));
    for (const QString &caption : settingsPageCaptions)
        m_settingsPages.push_back(addPage(caption));
    buildProfileMenu();

    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &frmMain::focusChanged);

    centreOnScreen(this);

    Form_Load();
    if (settingsPages == SettingsPages::WithWindow)
        buildSettingsPages();
    else
        m_buildAfterFirstFrame = true;
}

void frmMain::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The frame is handed to the screen when painting ends; the timer runs after that.
    if (std::exchange(m_buildAfterFirstFrame, false))
        QTimer::singleShot(0, this, &frmMain::buildSettingsPages);
}

frmMain::~frmMain()
{
    // QWidget's destructor moves the focus off the children it deletes; by then this is no
    // frmMain any more, so the slot must not run.
    disconnect(m_focusConnection);
    Form_Unload();
}

QWidget *frmMain::addPage(const QString &caption)
{
    auto *page = new TabPage(SSTab1);
    SSTab1->addTab(page, caption);
    return page->canvas();
}

void frmMain::buildMainPage(QWidget *page)
{
    const QFont normal = uiFont();
    const QFont medium = uiFont(9.75);

    auto *image = new QLabel(page);
    image->setObjectName(QStringLiteral("Image1"));
    image->setAccessibleName(QStringLiteral("Arvel KR52 printer"));
    placeInTwips(image, 240, 480, 2400, 1980);
    image->setPixmap(printerPicture(image));

    placeInTwips(
        makeLabel(page, QStringLiteral("Label17"), QStringLiteral("Arvel KR52 Setup Utility"), uiFont(12, true)), 2760,
        480, 3672, 372);
    placeInTwips(
        makeLabel(page, QStringLiteral("Label18"), QStringLiteral("\u00A9 Arvel Printing Systems Ltd."), normal), 2760,
        840, 3612, 252);
    auto *logo = new QSvgWidget(QStringLiteral(":/art/logo.svg"), page);
    logo->setObjectName(QStringLiteral("Picture2"));
    logo->setAccessibleName(QStringLiteral("Arvel logo"));
    placeInTwips(logo, 5400, 900, 912, 552);
    placeInTwips(makeLabel(page, QStringLiteral("Label23"), QStringLiteral("Version:"), medium), 2760, 1500, 792, 252);
    labVer = makeLabel(page, QStringLiteral("labVer"), QString(), medium);
    placeInTwips(labVer, 3540, 1500, 1512, 252);
    placeInTwips(makeLabel(page, QStringLiteral("labDate"), QString(), medium), 3540, 1740, 1692, 252);

    auto *manual = makeButton(page, QStringLiteral("comManual"), QStringLiteral("&Instructions"));
    placeInTwips(manual, 2760, 1860, 3135, 315);
    connect(manual, &QPushButton::clicked, this, &frmMain::comManual_Click);
    auto *faq = makeButton(page, QStringLiteral("comFAQ"), QStringLiteral("KR52 &Frequently Asked Questions"));
    placeInTwips(faq, 2760, 2160, 3135, 315);
    connect(faq, &QPushButton::clicked, this, &frmMain::comFAQ_Click);

    auto *confPort = makeButton(page, QStringLiteral("comConfPort"), QStringLiteral("&Configure Port"),
                                QStringLiteral("Setup Parallel or Serial communication"));
    placeInTwips(confPort, 240, 2640, 1272, 312);
    connect(confPort, &QPushButton::clicked, this, &frmMain::comConfPort_Click);
    placeInTwips(makeLabel(page, QStringLiteral("Label19"),
                           QStringLiteral("Click here first to establish communication with your KR52."), normal),
                 1560, 2700, 4812, 252);

    auto *presets = makeButton(page, QStringLiteral("comPresets"), QStringLiteral("&Presets"),
                               QStringLiteral("Select a preset configuration"));
    placeInTwips(presets, 240, 2940, 1272, 312);
    presets->hide();
    connect(presets, &QPushButton::clicked, this, &frmMain::comPresets_Click);
    auto *presetsText =
        makeLabel(page, QStringLiteral("Label20"), QStringLiteral("Click here to use a preset printer mode."), normal);
    placeInTwips(presetsText, 1560, 3000, 4812, 252);
    presetsText->hide();

    auto *selfTest = makeButton(page, QStringLiteral("Command4"), QStringLiteral("Print &Self Test"),
                                QStringLiteral("Print a self-test page on the connected KR52."));
    placeInTwips(selfTest, 240, 3240, 1272, 312);
    connect(selfTest, &QPushButton::clicked, this, &frmMain::Command4_Click);
    placeInTwips(makeLabel(page, QStringLiteral("Label21"),
                           QStringLiteral("Print a self-test. Make sure that the port settings are correct first."),
                           normal),
                 1560, 3300, 4812, 252);

    auto *use = makeButton(page, QStringLiteral("comUse"), QStringLiteral("&Use Settings"),
                           QStringLiteral("Send new settings to the connected KR52."));
    placeInTwips(use, 240, 3840, 1272, 312);
    connect(use, &QPushButton::clicked, this, &frmMain::comUse_Click);
    placeInTwips(
        makeLabel(page, QStringLiteral("Label22"), QStringLiteral("Write current settings to the KR52."), normal), 1560,
        3900, 4812, 252);
}

void frmMain::buildSettingsPages()
{
    if (std::exchange(m_settingsBuilt, true))
        return;
    nameListsByTheirLabels();
    const std::vector<QWidget *> &pages = m_settingsPages;
    const QFont captionFont = uiFont(9.75, true);
    const QFont qualifierFont = uiFont();
    const QFont helpFont = uiFont(8.25, true);
    int ticketCaption = 0;

    for (const SettingRow &row : settingsCatalogue()) {
        QWidget *page = pages[std::size_t(row.page) - 1];
        const int top = row.topTwips;
        auto *list = new QComboBox(page);
        list->setObjectName(row.listName);
        list->setEditable(false);
        list->addItems(row.entries);
        placeInTwips(list, 3120, top, 2535, 315);
        fitEntriesIn(list);
        guardAgainstWheel(list);
        list->setAccessibleDescription(QStringLiteral("%1 page. \"No change\" leaves the printer's setting as it is.")
                                           .arg(withoutAccessKey(settingsPageCaptions[std::size_t(row.page) - 1])));

        // The captions are the list's buddies, so assistive tools name the list by them.
        if (row.qualifier.isEmpty()) {
            // "Start Position Detect" sits 15 twips lower than its row, as laid out.
            const int captionTop = row.listName == QLatin1String("comBMark") ? top + 15 : top;
            QLabel *label = makeLabel(page, QStringLiteral("lab") + row.listName.mid(3), row.caption, captionFont);
            label->setBuddy(list);
            placeInTwips(label, 180, captionTop, 2775, 315);
        } else {
            // Two lines that share a row: each keeps to the top of its own label.
            for (const auto &[text, font, offset, height] :
                 {std::tuple{row.caption, captionFont, 0, 315}, std::tuple{row.qualifier, qualifierFont, 180, 255}}) {
                QLabel *label = makeLabel(page, QStringLiteral("labTickets(%1)").arg(ticketCaption++), text, font);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setBuddy(list);
                placeInTwips(label, 180, top + offset, 2775, height);
            }
        }
        m_settingsLists.push_back(list);

        auto *help = makeButton(page, QStringLiteral("comHelp(%1)").arg(row.helpIndex), QStringLiteral("Help"));
        help->setFont(helpFont);
        help->setAccessibleName(QStringLiteral("Help on ") + labelledName(list));
        placeInTwips(help, 5640, top, 675, 315);
        connect(help, &QPushButton::clicked, this, [this, index = row.helpIndex] { comHelp_Click(index); });
    }
    buildAdjuster(pages[std::size_t(SettingsPage::Alignment) - 1]);

    for (QComboBox *list : m_settingsLists)
        list->setCurrentIndex(0);
    AdjustCutPosition(0.0f);

    // Tab goes through the pages' controls before the profile button, however late they came.
    QWidget::setTabOrder(txtCutOffset, SSTab1->cornerWidget(Qt::TopRightCorner));
    // Controls added to a page already on screen show only when told to.
    for (QWidget *page : pages) {
        if (page->isVisible()) {
            for (QWidget *control : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                control->show();
        }
    }
}

void frmMain::buildAdjuster(QWidget *page)
{
    Picture1 = new CutPicture(pngPicture(QStringLiteral(":/art/strip.png")), page);
    placeInTwips(Picture1, 3420, 1440, 1950, 1965);
    Picture1->line()->setEnds(0, 1950.0 / 390.0);
    Picture1->setOffsetRange(-offsetLimit, offsetLimit);
    // Named as the box below it, with the unit, since the bridge passes a slider's value on
    // as a bare number; how to move it is its description.
    Picture1->setAccessibleName(QStringLiteral("Cut offset in mm"));
    Picture1->setAccessibleDescription(
        QStringLiteral("Drag the line, or: Up and Down move it by 0.1 mm, Page Up and Page Down by 1 mm, Home puts it "
                       "back to 0."));
    connect(Picture1, &CutPicture::mouseDown, this, &frmMain::Picture1_MouseDown);
    connect(Picture1, &CutPicture::mouseMove, this, &frmMain::Picture1_MouseMove);
    connect(Picture1, &CutPicture::mouseUp, this, &frmMain::Picture1_MouseUp);
    connect(Picture1, &CutPicture::offsetStep, this, &frmMain::Picture1_StepKey);
    connect(Picture1, &CutPicture::offsetHome, this, &frmMain::Picture1_HomeKey);

    txtCutOffset = new QLineEdit(page);
    txtCutOffset->setObjectName(QStringLiteral("txtCutOffset"));
    txtCutOffset->setAccessibleName(QStringLiteral("Cut offset"));
    txtCutOffset->setAccessibleDescription(
        QStringLiteral("Millimetres from -29.9 to 29.9, sent when \"Start Position Adjustment\" is at \"Adjust as "
                       "below\"."));
    placeInTwips(txtCutOffset, 3420, 3420, 1935, 285);
}

void frmMain::Form_Load()
{
    labVer->setText(versionText());
    labVer->setText(labVer->text() + QStringLiteral(" Beta"));
    m_cmode = LinkMode::None;
    m_lptport = QStringLiteral("LPT1:");
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_send) {
        // The port is in use: stop the action at once, say what reached the printer, then close.
        m_send->cancel();
        m_closeAfterSend = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    delete m_port;
    delete m_presets;
    delete m_help;
}

// ---- The printer link ----

std::unique_ptr<PrinterLink> frmMain::printerLink()
{
    if (std::unique_ptr<PrinterLink> link = linkFor(m_cmode, *MSComm1, m_parallel, m_lptport))
        return link;
    showMessage(QStringLiteral("No Port Settings Specified"),
                QStringLiteral("No communication settings have been specified!\n"
                               " Please click on 'Configure Port' before accessing the printer."),
                QMessageBox::Warning, this);
    return nullptr;
}

void frmMain::runPrinterAction(const SendPlan &plan)
{
    const std::unique_ptr<PrinterLink> link = printerLink();
    if (!link)
        return;
    ResponsiveSend send(this);
    m_send = &send;
    const SendOutcome outcome = send.run(*link, plan);
    m_send = nullptr;
    if (!outcome.succeeded())
        showMessage(applicationTitle(), outcome.message(), QMessageBox::Warning, this);
    if (std::exchange(m_closeAfterSend, false))
        close();
}

void frmMain::Command4_Click()
{
    runPrinterAction(planSelfTest());
}

std::vector<int> frmMain::chosenIndexes()
{
    buildSettingsPages();
    std::vector<int> indexes;
    indexes.reserve(m_settingsLists.size());
    for (const QComboBox *list : m_settingsLists)
        indexes.push_back(list->currentIndex());
    return indexes;
}

void frmMain::comUse_Click()
{
    runPrinterAction(planSettings(chosenIndexes(), txtCutOffset->text()));
}

// ---- The other windows ----

void frmMain::comConfPort_Click()
{
    if (mainWindowHidesForDialogs())
        hide();
    if (!m_port)
        m_port = new frmPort(this, MSComm1);
    m_port->show();
}

void frmMain::comPresets_Click()
{
    if (mainWindowHidesForDialogs())
        hide();
    if (!m_presets)
        m_presets = frmPresets::create(m_programDir, this);
    if (m_presets)
        m_presets->show();
    else
        show();
}

void frmMain::showHelp(const std::function<bool(frmHelp &)> &load)
{
    if (!m_help)
        m_help = new frmHelp(m_programDir, this);
    if (load(*m_help))
        m_help->exec();
}

void frmMain::comHelp_Click(int index)
{
    showHelp([index](frmHelp &help) { return help.SetHelpFile(qint16(index)); });
}

void frmMain::comFAQ_Click()
{
    showHelp([](frmHelp &help) { return help.ShowFAQ(); });
}

void frmMain::comManual_Click()
{
    showHelp([](frmHelp &help) { return help.ShowManual(); });
}

// ---- The cut-position adjuster ----

void frmMain::AdjustCutPosition(float orig)
{
    buildSettingsPages();
    // To the nearest tenth in single precision, an exact half going to the even tenth.
    float v = std::nearbyint(orig * 10.0f) / 10.0f;
    if (std::isnan(v))
        v = 0.0f;
    if (v < -offsetLimit)
        v = -offsetLimit;
    if (v > offsetLimit)
        v = offsetLimit;
    txtCutOffset->setText(numberText(v) + QStringLiteral("mm"));
    Picture1->line()->setHeight(double(v + zeroLine));
    Picture1->setOffset(double(v), txtCutOffset->text());
}

void frmMain::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, float, float y)
{
    buildSettingsPages();
    if (y >= bandTop && y <= bandBottom) {
        Picture1->line()->setHeight(double(y));
        dragging = true;
    }
}

void frmMain::Picture1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float, float y)
{
    buildSettingsPages();
    if (dragging && y >= bandTop && y <= bandBottom)
        Picture1->line()->setHeight(double(y));
}

void frmMain::Picture1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, float, float y)
{
    buildSettingsPages();
    dragging = false;
    AdjustCutPosition(y - zeroLine);
}

void frmMain::Picture1_StepKey(int tenths)
{
    buildSettingsPages();
    // A drag under way keeps the line where the pointer is.
    if (!dragging)
        AdjustCutPosition(float(cutOffsetTenths(txtCutOffset->text()) + tenths) / 10.0f);
}

void frmMain::Picture1_HomeKey()
{
    buildSettingsPages();
    if (!dragging)
        AdjustCutPosition(0.0f);
}

void frmMain::txtCutOffset_Validate()
{
    AdjustCutPosition(float(leadingNumber(txtCutOffset->text())));
}

void frmMain::focusChanged(QWidget *old, QWidget *now)
{
    // Validation runs when the focus moves from the box to another control of this window.
    if (txtCutOffset && old == txtCutOffset && now && now != txtCutOffset && now->window() == this)
        txtCutOffset_Validate();
}
