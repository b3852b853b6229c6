#include "mainwindow.h"

#include "app/aboutmessages.h"
#include "app/qtcommondialog.h"
#include "app/systemcolours.h"
#include "app/twips.h"
#include "field/marqueefield.h"
#include "scroll/scrollstep.h"
#include "window/initialstate.h"

#include <QApplication>
#include <QGroupBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {

// An option button of an exclusive group cannot be cleared while it is the checked one;
// clearing must still leave the group with no selection.
void setRadioChecked(QRadioButton *button, bool checked)
{
    if (checked) {
        button->setChecked(true);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

QRadioButton *createRadio(QWidget *parent, const QString &name, const QString &caption, const char *toolTip,
                          const QRect &geometry)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(QString::fromLatin1(toolTip));
    // Screen readers speak the caption as the name and the tooltip as the description.
    button->setAccessibleDescription(button->toolTip());
    button->setGeometry(geometry);
    return button;
}

QGroupBox *createFrame(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    // The caption is set into the frame's top edge, so that the first row of option
    // buttons, placed just below that edge, stays inside the frame.
    frame->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                        " margin-top: 7px; }"
                                        "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                                        " padding: 0px 2px; }"));
    return frame;
}

QAction *createAction(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

MainWindow::MainWindow(WindowServices services, QWidget *parent)
    : QMainWindow(parent), m_caption(InitialState::caption()), m_foreColour(InitialState::kForeColour),
      m_backColour(InitialState::kBackColour), m_font(InitialState::font()),
      m_ownDialog(services.dialog ? nullptr : std::make_unique<QtCommonDialog>(this)),
      m_dialog(services.dialog ? services.dialog : m_ownDialog.get()),
      m_messages(services.messages ? services.messages : this),
      m_programEnd(services.programEnd ? services.programEnd : this), m_startStop(*this),
      m_settings(*this, m_record, *m_messages, *m_programEnd), m_transfer(*this, *m_dialog, *m_messages),
      m_appearance(*this, *m_dialog, m_record, *m_messages)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(m_caption);
    setWindowIcon(QIcon(QStringLiteral(":/tickora/tickora-32.png")));

    createControls();
    createMenus();
    createKeys();
    setTabOrder();
    wireHandlers();

    applyColours();
    applyFont();

    // The caption runs from the window's creation; the scroll timer waits for Start.
    tmrCaption->start();

    frmMain_Load();

    // A fixed single border: the client area keeps its size below the menu bar.
    setFixedSize(m_client->width(), m_client->height() + menuBar()->sizeHint().height());
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    txtMarquee->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_client->setFixedSize(Twips::toPixels(11910), Twips::toPixels(8025));
    setCentralWidget(m_client);

    txtMarquee = new MarqueeField(m_client);
    txtMarquee->setObjectName(QStringLiteral("txtMarquee"));
    txtMarquee->setAccessibleName(QStringLiteral("Marquee text"));
    txtMarquee->setGeometry(Twips::rect(240, 240, 11415, 6255));

    fraSpeed = createFrame(m_client, "fraSpeed", "Speed", Twips::rect(6480, 6600, 2895, 975));
    // Four columns of three, numbered down the columns.
    static constexpr std::array<int, kSpeedLevelCount> kSpeedWidths{495, 495, 495, 495, 495, 735,
                                                                    495, 615, 615, 615, 615, 615};
    for (int index = 0; index < kSpeedLevelCount; ++index) {
        const int left = 240 + (index / 3) * 600;
        const int top = 200 + (index % 3) * 240;
        Opt[index] = createRadio(fraSpeed, QStringLiteral("Opt%1").arg(index + 1), QString::number(index + 1),
                                 "Speed", Twips::rect(left, top, kSpeedWidths[index], 255));
    }
    Opt[InitialState::kSpeedLevel - 1]->setChecked(true);

    fraDirection = createFrame(m_client, "fraDirection", "Direction", Twips::rect(9960, 6600, 1455, 975));
    Picture2 = new QWidget(fraDirection);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAccessibleName(QStringLiteral("Direction"));
    Picture2->setGeometry(Twips::rect(120, 240, 1215, 615));
    Picture2->setFocusPolicy(Qt::TabFocus);
    optLeft = createRadio(Picture2, QStringLiteral("optLeft"), QStringLiteral("Left"), "Left Direction",
                          Twips::rect(0, 0, 1095, 195));
    optRight = createRadio(Picture2, QStringLiteral("optRight"), QStringLiteral("Right"), "Right Direction",
                           Twips::rect(0, 360, 855, 255));
    optLeft->setChecked(true);

    cmdStart = createButton("cmdStart", InitialState::kStartCaption, "Starts Scolling", 480, 6720);
    Command2 = createButton("Command2", "FG Color", "Sets ForeGround Color", 1440, 6720);
    Command4 = createButton("Command4", "Fonts", "Sets Fonts", 2400, 6720);
    Command6 = createButton("Command6", "Delete", "Delets Text and Settings", 3360, 6720);
    Command7 = createButton("Command7", "Import", "Imports Text", 4320, 6720);
    Command10 = createButton("Command10", "HTML", "Exports Marquee HTML code", 5280, 6720);
    Command5 = createButton("Command5", "Clear", "Clears Text", 480, 7200);
    Command3 = createButton("Command3", "BG Color", "Sets BackGround Color", 1440, 7200);
    Command8 = createButton("Command8", "Load", "Loads Text and Settings", 2400, 7200);
    Command9 = createButton("Command9", "Save", "Saves Text and Settings", 3360, 7200);
    Command11 = createButton("Command11", "Export", "Exports Text", 4320, 7200);
    Command1 = createButton("Command1", "Exit", "Saves Text and Settings and Exits Application.", 5280, 7200);

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setTimerType(Qt::PreciseTimer);
    tmrMain->setInterval(InitialState::kScrollInterval);
    tmrCaption = new QTimer(this);
    tmrCaption->setObjectName(QStringLiteral("tmrCaption"));
    tmrCaption->setTimerType(Qt::PreciseTimer);
    tmrCaption->setInterval(InitialState::kCaptionInterval);
}

QPushButton *MainWindow::createButton(const char *name, const char *caption, const char *toolTip, int left,
                                      int top)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), m_client);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(toolTip));
    // The name stays the caption ("Start" turns "Stop"); the tooltip is the description.
    button->setAccessibleDescription(button->toolTip());
    button->setGeometry(Twips::rect(left, top, 855, 375));
    button->setAutoDefault(false);
    return button;
}

void MainWindow::createMenus()
{
    // Captions carry no '&': the menus have no access keys and no shortcuts.
    f0 = menuBar()->addMenu(QStringLiteral("Files"));
    f0->setObjectName(QStringLiteral("f0"));
    f3 = createAction(f0, QStringLiteral("f3"), QStringLiteral("New"));
    f1 = createAction(f0, QStringLiteral("f1"), QStringLiteral("Open"));
    f2 = createAction(f0, QStringLiteral("f2"), QStringLiteral("Save"));

    o0 = menuBar()->addMenu(QStringLiteral("Options"));
    o0->setObjectName(QStringLiteral("o0"));
    o1 = createAction(o0, QStringLiteral("o1"), QStringLiteral("ForeGround"));
    o2 = createAction(o0, QStringLiteral("o2"), QStringLiteral("BackGround"));
    o4 = createAction(o0, QStringLiteral("o4"), QStringLiteral("TextClear"));
    o5 = createAction(o0, QStringLiteral("o5"), QStringLiteral("TextFonts"));

    s0 = menuBar()->addMenu(QStringLiteral("Speeds"));
    s0->setObjectName(QStringLiteral("s0"));
    for (int item = 1; item <= kSpeedLevelCount; ++item)
        s[item - 1] = createAction(s0, QStringLiteral("s%1").arg(item),
                                   QStringLiteral("%1").arg(item, 2, 10, QLatin1Char('0')));

    a0 = menuBar()->addMenu(QStringLiteral("About"));
    a0->setObjectName(QStringLiteral("a0"));
    a2 = createAction(a0, QStringLiteral("a2"), QStringLiteral("Specs"));
    a1 = createAction(a0, QStringLiteral("a1"), QStringLiteral("About"));
}

void MainWindow::createKeys()
{
    // Enter clicks "HTML", the window's default button, unless a button has the focus;
    // Esc clicks "FG Color", the cancel button, wherever the focus is.
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, &MainWindow::returnPressed);
    }
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, Command2, &QPushButton::click);
}

void MainWindow::returnPressed()
{
    if (auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
        button && isAncestorOf(button))
        button->click();
    else
        Command10->click();
}

void MainWindow::setTabOrder()
{
    QList<QWidget *> order{txtMarquee, cmdStart, Command5, Command2,  Command3,  Command4, Command8,
                           Command6,   Command9, Command7, Command11, Command10, Command1};
    for (QRadioButton *button : Opt)
        order.append(button);
    order << optLeft << optRight << Picture2;
    for (qsizetype index = 1; index < order.size(); ++index)
        QWidget::setTabOrder(order[index - 1], order[index]);
}

void MainWindow::wireHandlers()
{
    connect(tmrMain, &QTimer::timeout, this, &MainWindow::tmrMain_Timer);
    connect(tmrCaption, &QTimer::timeout, this, &MainWindow::tmrCaption_Timer);
    connect(cmdStart, &QPushButton::clicked, this, &MainWindow::cmdStart_Click);

    using Handler = void (MainWindow::*)();
    static constexpr std::array<Handler, kSpeedLevelCount> kSpeedHandlers{
        &MainWindow::s1_Click, &MainWindow::s2_Click,  &MainWindow::s3_Click,  &MainWindow::s4_Click,
        &MainWindow::s5_Click, &MainWindow::s6_Click,  &MainWindow::s7_Click,  &MainWindow::s8_Click,
        &MainWindow::s9_Click, &MainWindow::s10_Click, &MainWindow::s11_Click, &MainWindow::s12_Click};
    for (int index = 0; index < kSpeedLevelCount; ++index)
        connect(s[index], &QAction::triggered, this, kSpeedHandlers[index]);

    connect(Command9, &QPushButton::clicked, this, &MainWindow::Command9_Click);
    connect(Command8, &QPushButton::clicked, this, &MainWindow::Command8_Click);
    connect(Command6, &QPushButton::clicked, this, &MainWindow::Command6_Click);
    connect(Command1, &QPushButton::clicked, this, &MainWindow::Command1_Click);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::Command7_Click);
    connect(f1, &QAction::triggered, this, &MainWindow::f1_Click);
    connect(Command11, &QPushButton::clicked, this, &MainWindow::Command11_Click);
    connect(f2, &QAction::triggered, this, &MainWindow::f2_Click);
    connect(Command10, &QPushButton::clicked, this, &MainWindow::Command10_Click);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(o1, &QAction::triggered, this, &MainWindow::o1_Click);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(o2, &QAction::triggered, this, &MainWindow::o2_Click);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(o5, &QAction::triggered, this, &MainWindow::o5_Click);
    connect(Command5, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(o4, &QAction::triggered, this, &MainWindow::o4_Click);
    connect(f3, &QAction::triggered, this, &MainWindow::f3_Click);
    connect(a2, &QAction::triggered, this, &MainWindow::a2_Click);
    connect(a1, &QAction::triggered, this, &MainWindow::a1_Click);
}

// --- Handlers ---------------------------------------------------------------------

void MainWindow::frmMain_Load()
{
    m_settings.restoreAtStartup();
}
void MainWindow::tmrMain_Timer()
{
    runScrollStep(*this);
}
void MainWindow::tmrCaption_Timer()
{
    runCaptionStep(*this);
}
void MainWindow::cmdStart_Click()
{
    m_startStop.toggle();
}

void MainWindow::s1_Click()
{
    m_startStop.chooseSpeedFromMenu(1);
}
void MainWindow::s2_Click()
{
    m_startStop.chooseSpeedFromMenu(2);
}
void MainWindow::s3_Click()
{
    m_startStop.chooseSpeedFromMenu(3);
}
void MainWindow::s4_Click()
{
    m_startStop.chooseSpeedFromMenu(4);
}
void MainWindow::s5_Click()
{
    m_startStop.chooseSpeedFromMenu(5);
}
void MainWindow::s6_Click()
{
    m_startStop.chooseSpeedFromMenu(6);
}
void MainWindow::s7_Click()
{
    m_startStop.chooseSpeedFromMenu(7);
}
void MainWindow::s8_Click()
{
    m_startStop.chooseSpeedFromMenu(8);
}
void MainWindow::s9_Click()
{
    m_startStop.chooseSpeedFromMenu(9);
}
void MainWindow::s10_Click()
{
    m_startStop.chooseSpeedFromMenu(10);
}
void MainWindow::s11_Click()
{
    m_startStop.chooseSpeedFromMenu(11);
}
void MainWindow::s12_Click()
{
    m_startStop.chooseSpeedFromMenu(12);
}

void MainWindow::Command9_Click()
{
    m_settings.save();
}
void MainWindow::Command8_Click()
{
    m_settings.load();
}
void MainWindow::Command6_Click()
{
    m_settings.deleteFiles();
}
void MainWindow::Command1_Click()
{
    m_settings.exit();
}

void MainWindow::Command7_Click()
{
    m_transfer.importText();
}
void MainWindow::f1_Click()
{
    m_transfer.importText();
}
void MainWindow::Command11_Click()
{
    m_transfer.exportText();
}
void MainWindow::f2_Click()
{
    m_transfer.exportText();
}
void MainWindow::Command10_Click()
{
    m_transfer.exportHtml();
}

void MainWindow::Command2_Click()
{
    m_appearance.chooseForeColour();
}
void MainWindow::o1_Click()
{
    m_appearance.chooseForeColour();
}
void MainWindow::Command3_Click()
{
    m_appearance.chooseBackColour();
}
void MainWindow::o2_Click()
{
    m_appearance.chooseBackColour();
}
void MainWindow::Command4_Click()
{
    m_appearance.chooseFont();
}
void MainWindow::o5_Click()
{
    m_appearance.chooseFont();
}
void MainWindow::Command5_Click()
{
    m_appearance.clearText();
}
void MainWindow::o4_Click()
{
    m_appearance.clearText();
}
void MainWindow::f3_Click()
{
    m_appearance.clearText();
}

void MainWindow::a2_Click()
{
    m_messages->showMessage(AboutMessages::specs(), MessageBox::Icon::None);
}
void MainWindow::a1_Click()
{
    m_messages->showMessage(AboutMessages::about(), MessageBox::Icon::None);
}

// --- Services ---------------------------------------------------------------------

void MainWindow::showMessage(const QString &text, MessageBox::Icon icon)
{
    QMessageBox box(icon == MessageBox::Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    AboutMessages::productName(), text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::endProgram()
{
    tmrMain->stop();
    tmrCaption->stop();
    QCoreApplication::exit(0);
}

// --- Window access ----------------------------------------------------------------

QString MainWindow::caption() const
{
    return m_caption;
}

void MainWindow::setCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(caption);
}

QString MainWindow::text() const
{
    return txtMarquee->text();
}
void MainWindow::setText(const QString &text)
{
    txtMarquee->setText(text);
}

bool MainWindow::setForeColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_foreColour = colour;
    applyColours();
    return true;
}

bool MainWindow::setBackColour(ColourValue colour)
{
    if (!Colours::isColour(colour))
        return false;
    m_backColour = colour;
    applyColours();
    return true;
}

void MainWindow::applyColours()
{
    const QPalette palette = QApplication::palette(txtMarquee);
    txtMarquee->setColours(SystemColours::resolve(m_foreColour, palette),
                           SystemColours::resolve(m_backColour, palette));
}

bool MainWindow::setFontName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    m_font.name = name;
    applyFont();
    return true;
}

bool MainWindow::setFontSize(double points)
{
    if (!FontLimits::isAcceptableSize(points))
        return false;
    m_font.size = points;
    applyFont();
    return true;
}

void MainWindow::setFontBold(bool bold)
{
    m_font.bold = bold;
    applyFont();
}

void MainWindow::setFontItalic(bool italic)
{
    m_font.italic = italic;
    applyFont();
}

void MainWindow::setFontUnderline(bool underline)
{
    m_font.underline = underline;
    applyFont();
}

void MainWindow::applyFont()
{
    QFont font(m_font.name);
    font.setPointSizeF(m_font.size);
    font.setBold(m_font.bold);
    font.setItalic(m_font.italic);
    font.setUnderline(m_font.underline);
    txtMarquee->setFont(font);
}

bool MainWindow::isSpeedSelected(int level) const
{
    return level >= 1 && level <= kSpeedLevelCount && Opt[level - 1]->isChecked();
}

void MainWindow::setSpeedSelected(int level, bool selected)
{
    if (level >= 1 && level <= kSpeedLevelCount)
        setRadioChecked(Opt[level - 1], selected);
}

bool MainWindow::isDirectionSelected(Direction direction) const
{
    return (direction == Direction::Left ? optLeft : optRight)->isChecked();
}

void MainWindow::setDirectionSelected(Direction direction, bool selected)
{
    setRadioChecked(direction == Direction::Left ? optLeft : optRight, selected);
}

QString MainWindow::startCaption() const
{
    return cmdStart->text();
}
void MainWindow::setStartCaption(const QString &caption)
{
    cmdStart->setText(caption);
}

bool MainWindow::isScrollTimerEnabled() const
{
    return tmrMain->isActive();
}

void MainWindow::setScrollTimerEnabled(bool enabled)
{
    if (enabled && !tmrMain->isActive())
        tmrMain->start();
    else if (!enabled)
        tmrMain->stop();
}

int MainWindow::scrollInterval() const
{
    return tmrMain->interval();
}

void MainWindow::setScrollInterval(int milliseconds)
{
    // Setting a running timer's interval restarts its countdown; the same interval set
    // again on every tick must not, or each tick would come late by the tick's own cost.
    if (tmrMain->interval() != milliseconds)
        tmrMain->setInterval(milliseconds);
}
