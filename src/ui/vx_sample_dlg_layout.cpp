// The main window's controls, captions, fonts and menu bar.
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/list_ctrl_ex.h"
#include "ui/live_view.h"
#include "ui/vx_sample_dlg.h"

namespace {

constexpr double kControlPoints = 8.0;
constexpr double kValuePoints = 20.0;
constexpr double kInfoPoints = 10.0;
constexpr double kTotalPoints = 30.0;

// The menu-bar command numbers, in menu order.
constexpr std::array<int, kMenuCommandCount> kMenuNumbers = { 32771, 32773, 32777, 32779, 32781, 32775 };

} // namespace

QLabel* CVxSampleDlg::AddLabel(int id, const char* caption, QWidget* parent)
{
    auto* label = new QLabel(UiText(caption), parent);
    label->setObjectName(ControlName(id));
    m_controls[id] = label;
    return label;
}

QPushButton* CVxSampleDlg::AddButton(int id, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(UiText(caption), parent);
    button->setObjectName(ControlName(id));
    button->setAutoDefault(false); // Enter presses Capture alone (the window handles the key)
    m_controls[id] = button;
    return button;
}

QRadioButton* CVxSampleDlg::AddRadio(int id, const char* caption, QWidget* parent)
{
    auto* radio = new QRadioButton(UiText(caption), parent);
    radio->setObjectName(ControlName(id));
    m_controls[id] = radio;
    return radio;
}

QLineEdit* CVxSampleDlg::AddEdit(int id, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(ControlName(id));
    m_controls[id] = edit;
    return edit;
}

QWidget* CVxSampleDlg::BuildResultsGroup()
{
    auto* group = new QGroupBox(UiText("Mesurement Results"), this);
    group->setObjectName(ControlName(1045));
    m_controls[1045] = group;
    auto* grid = new QGridLayout(group);
    AddLabel(1049, "Total Judgement", group);
    QLabel* total = AddLabel(1024, "----", group);
    AddLabel(1051, "Current Channel", group);
    QLabel* channel = AddLabel(1028, "------", group);
    AddLabel(1046, "Measurement Value", group);
    QLabel* value = AddLabel(1022, "-----------", group);
    AddLabel(1047, "Comp Judgment", group);
    QLabel* comp = AddLabel(1026, "---", group);
    for (QLabel* box : { total, channel, value, comp }) {
        box->setFrameShape(QFrame::Box);
        box->setAlignment(Qt::AlignCenter);
    }
    AddLabel(1053, "Channel Results", group);
    m_stepList = new CListCtrlEx(group);
    m_stepList->setObjectName(ControlName(1048));
    m_stepList->Init(this, 1048);
    m_stepList->SetReadOnly(true);
    m_stepList->verticalHeader()->setVisible(false);
    m_controls[1048] = m_stepList;
    grid->addWidget(m_controls[1049], 0, 0);
    grid->addWidget(total, 1, 0);
    grid->addWidget(m_controls[1051], 2, 0);
    grid->addWidget(channel, 3, 0);
    grid->addWidget(m_controls[1046], 4, 0);
    grid->addWidget(value, 5, 0);
    grid->addWidget(m_controls[1047], 6, 0);
    grid->addWidget(comp, 7, 0);
    grid->setRowStretch(8, 1);
    grid->addWidget(m_controls[1053], 0, 1);
    grid->addWidget(m_stepList, 1, 1, 8, 1);
    return group;
}

QWidget* CVxSampleDlg::BuildMethodGroup()
{
    auto* group = new QGroupBox(UiText("Capture Method"), this);
    group->setObjectName(ControlName(1033));
    m_controls[1033] = group;
    auto* grid = new QGridLayout(group);
    m_methods = new QButtonGroup(this);
    const std::array<const char*, 3> captions
        = { "With Capture button or ENTER key", "With EXT Trigger", "At Intervals" };
    for (int i = 0; i < 3; ++i) {
        QRadioButton* radio = AddRadio(1014 + i, captions[static_cast<size_t>(i)], group);
        m_methods->addButton(radio, i);
        grid->addWidget(radio, i, 0, 1, 4);
    }
    m_interval = AddEdit(1018, group);
    m_count = AddEdit(1019, group);
    grid->addWidget(m_interval, 3, 0);
    grid->addWidget(AddLabel(1034, "sec", group), 3, 1);
    grid->addWidget(new QLabel(UiText("(0.0-3600.0)"), group), 3, 2);
    grid->addWidget(m_count, 4, 0);
    grid->addWidget(AddLabel(1035, "Times", group), 4, 1);
    grid->addWidget(new QLabel(UiText("(1-)"), group), 4, 2);

    auto* manual = new QGroupBox(UiText("MUX Manual Channel"), group);
    manual->setObjectName(ControlName(1023));
    m_controls[1023] = manual;
    auto* manualLayout = new QHBoxLayout(manual);
    manualLayout->addWidget(AddLabel(1044, "Channel No.", manual));
    m_channel = AddEdit(1020, manual);
    manualLayout->addWidget(m_channel);
    grid->addWidget(manual, 5, 0, 1, 4);
    for (QLineEdit* edit : { m_interval, m_count, m_channel })
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    return group;
}

QWidget* CVxSampleDlg::BuildSaveGroup()
{
    auto* group = new QGroupBox(UiText("Save File"), this);
    group->setObjectName(ControlName(1030));
    m_controls[1030] = group;
    auto* grid = new QGridLayout(group);
    m_targets = new QButtonGroup(this);
    m_targets->addButton(AddRadio(1011, "Save to File", group), 0);
    m_targets->addButton(AddRadio(1012, "Save to Excel", group), 1);
    grid->addWidget(m_controls[1011], 0, 0);
    grid->addWidget(m_controls[1012], 0, 1);
    m_filePath = AddEdit(1005, group);
    grid->addWidget(m_filePath, 1, 0, 1, 2);
    grid->addWidget(AddButton(1013, "Browse", group), 1, 2);
    return group;
}

void CVxSampleDlg::BuildMenu()
{
    m_menuBar = new QMenuBar(this);
    for (int i = 0; i < kMenuCommandCount; ++i) {
        QAction* action = m_menuBar->addAction(UiText(kMenuCaptions[static_cast<size_t>(i)]));
        action->setObjectName(QStringLiteral("menu%1").arg(kMenuNumbers[static_cast<size_t>(i)]));
        m_menu[static_cast<size_t>(i)] = action;
    }
    // Menu actions run on the GUI thread, like every other control of the window.
    connect(m_menu[kMenuModelSet], &QAction::triggered, this, &CVxSampleDlg::OnModelSet, Qt::DirectConnection);
    connect(m_menu[kMenuCaptureSet], &QAction::triggered, this, &CVxSampleDlg::OnCaptureSet, Qt::DirectConnection);
    connect(m_menu[kMenuHelp], &QAction::triggered, this, &CVxSampleDlg::OnAbout, Qt::DirectConnection);
    connect(m_menu[kMenuCommunicationSet], &QAction::triggered, this, &CVxSampleDlg::OnCommunicationSet,
        Qt::DirectConnection);
    connect(
        m_menu[kMenuMeasurementSet], &QAction::triggered, this, &CVxSampleDlg::OnMeasurementSet, Qt::DirectConnection);
    connect(m_menu[kMenuSelfCheck], &QAction::triggered, this, &CVxSampleDlg::OnSelfCheck, Qt::DirectConnection);
    QMenu* view = m_menuBar->addMenu(UiText("View"));
    view->setObjectName(QStringLiteral("menuView"));
    m_liveViewAction = view->addAction(UiText("Live View"));
    m_liveViewAction->setObjectName(QStringLiteral("menuLiveView"));
    m_liveViewAction->setCheckable(true);
    m_liveViewAction->setChecked(true);
    connect(m_liveViewAction, &QAction::toggled, this, &CVxSampleDlg::ShowLiveView, Qt::DirectConnection);
    QAction* exitAction = m_menuBar->addAction(UiText("Exit"));
    exitAction->setObjectName(QStringLiteral("menuExit"));
    connect(exitAction, &QAction::triggered, this, &QWidget::close, Qt::DirectConnection);
}

void CVxSampleDlg::BuildLiveView()
{
    m_liveView = new CLiveView(m_dialogs, static_cast<size_t>(kDefaultTrendPoints), this);
    // Clicking a channel in the list or on the map plots it; each follows the other.
    connect(m_liveView, &CLiveView::ChannelClicked, this, [this](int channel) {
        if (channel >= 1 && channel <= m_stepList->rowCount())
            m_stepList->setCurrentCell(channel - 1, 0);
    });
    connect(m_stepList, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0)
            m_liveView->SelectChannel(row + 1);
    });
}

void CVxSampleDlg::ShowLiveView(bool shown)
{
    m_config.LiveView = shown ? 1 : 0;
    if (m_liveView->isHidden() != shown)
        return;
    // The window grows by the view's width and gives it back, so the controls keep their size.
    const int width = std::max(m_liveView->width(), m_liveView->sizeHint().width()) + layout()->spacing();
    m_liveView->setVisible(shown);
    resize(shown ? this->width() + width : std::max(this->width() - width, minimumSizeHint().width()), height());
}

void CVxSampleDlg::BuildControls()
{
    setWindowTitle(QString::fromUtf8(kAppTitle));
    auto* outer = new QHBoxLayout(this);
    auto* layout = new QVBoxLayout;
    outer->addLayout(layout, 0);
    BuildMenu();
    outer->setMenuBar(m_menuBar);
    auto* info = new QHBoxLayout;
    info->addWidget(AddLabel(1169, "Model:", this));
    info->addWidget(AddLabel(1036, "Serial No.:", this));
    layout->addLayout(info);
    layout->addWidget(BuildResultsGroup(), 1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(BuildMethodGroup());
    auto* right = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddButton(1006, "Start", this));
    QPushButton* capture = AddButton(1009, "Capture", this);
    capture->setDefault(true);
    buttons->addWidget(capture);
    buttons->addWidget(AddButton(1007, "Stop", this));
    right->addLayout(buttons);
    right->addWidget(BuildSaveGroup());
    right->addStretch(1);
    lower->addLayout(right);
    layout->addLayout(lower);

    SetChildFonts(this, UiFont(kControlPoints));
    for (const int id : { 1022, 1026 })
        m_controls[id]->setFont(UiFont(kValuePoints, true));
    for (const int id : { 1169, 1036, 1028 })
        m_controls[id]->setFont(UiFont(kInfoPoints));
    m_controls[1024]->setFont(UiFont(kTotalPoints, true));
    BuildLiveView();
    outer->addWidget(m_liveView, 1);
    resize(1400, 900);
}

QWidget* CVxSampleDlg::Control(int id) const
{
    const auto found = m_controls.find(id);
    return found != m_controls.end() ? found->second : nullptr;
}
