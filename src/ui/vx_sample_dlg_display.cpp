// What the acquisition shows in the main window, and the enable rules applied to its controls.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "acquisition/reply_processing.h"
#include "settings/model_info.h"
#include "ui/list_ctrl_ex.h"
#include "ui/live_view.h"
#include "ui/vx_sample_dlg.h"

namespace {

constexpr int kStepRowPixels = 19;
constexpr int kVisibleStepRows = 21;
constexpr uint8_t kWhiteCell = 5;
constexpr std::array<const char*, 5> kStepHeadings = { "CH", "CH Name", "Meas. Value", "Comp", "Judge" };
constexpr std::array<int, 5> kStepWidths = { 40, 75, 90, 45, 50 };

void SetBoxColour(QWidget* box, uint32_t rgb)
{
    box->setStyleSheet(QStringLiteral("background-color: #%1;").arg(rgb, 6, 16, QLatin1Char('0')));
}

void SetText(QWidget* label, const std::string& text)
{
    static_cast<QLabel*>(label)->setText(QString::fromStdString(text));
}

} // namespace

void CVxSampleDlg::ShowValueTitle(const std::string& title)
{
    SetText(Control(1046), title);
}
void CVxSampleDlg::ShowValue(const std::string& value)
{
    SetText(Control(1022), value);
}

void CVxSampleDlg::ShowComp(const std::string& judge, int32_t colour)
{
    SetText(Control(1026), judge);
    SetBoxColour(Control(1026), CompColourRgb(colour));
}

void CVxSampleDlg::ShowTotal(const std::string& judge, int32_t colour)
{
    SetText(Control(1024), judge);
    SetBoxColour(Control(1024), TotalColourRgb(colour));
}

void CVxSampleDlg::ShowCurrentChannel(const std::string& name)
{
    SetText(Control(1028), name);
}
void CVxSampleDlg::ShowSerial(const std::string& serial)
{
    static_cast<QLabel*>(Control(1036))->setText(UiText("Serial No.:") + QString::fromStdString(serial));
}
void CVxSampleDlg::ShowModel(int32_t code)
{
    static_cast<QLabel*>(Control(1169))->setText(UiText("Model:") + QString::fromStdString(ModelNameOfCode(code)));
}

void CVxSampleDlg::BuildStepList(bool muxOn, const StepTexts& names)
{
    CListCtrlEx& list = *m_stepList;
    list.setRowCount(0);
    list.ClearColumns();
    for (size_t i = 0; i < kStepHeadings.size(); ++i)
        list.InsertColumn(
            static_cast<int>(i), UiText(kStepHeadings[i]), CListCtrlEx::kFormatLeft, kStepWidths[i], -1, kEditNone);
    list.setShowGrid(true);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEnabled(muxOn);
    if (muxOn) {
        list.SetRowCount(static_cast<int>(kMaxSteps));
        list.ResetColours();
        for (int row = 0; row < static_cast<int>(kMaxSteps); ++row) {
            (void)list.SetCellText(row, 0, QString::number(row + 1));
            (void)list.SetCellText(row, 1, QString::fromStdString(names[static_cast<size_t>(row)]));
            (void)list.SetCellText(row, 2, QStringLiteral("--------"));
            (void)list.SetCellText(row, 3, QStringLiteral("---"));
            (void)list.SetCellText(row, 4, QStringLiteral("----"));
            for (int column = 0; column < static_cast<int>(kStepHeadings.size()); ++column)
                (void)list.SetBackColour(row, column, kWhiteCell);
        }
    }
    // A whole number of 19-pixel rows in view, plus the frame.
    list.verticalHeader()->setDefaultSectionSize(kStepRowPixels);
    list.setMinimumHeight(list.horizontalHeader()->sizeHint().height() + kVisibleStepRows * kStepRowPixels + 2);
    list.viewport()->update();
    m_liveView->SetChannels(muxOn, names);
}

void CVxSampleDlg::SetStepRow(
    int row, const std::string& value, const std::string& comp, const std::string& judge, uint8_t judgeColour)
{
    if (row < 0 || row >= m_stepList->rowCount())
        return;
    (void)m_stepList->SetCellText(row, 2, QString::fromStdString(value));
    (void)m_stepList->SetCellText(row, 3, QString::fromStdString(comp));
    (void)m_stepList->SetCellText(row, 4, QString::fromStdString(judge));
    (void)m_stepList->SetBackColour(row, 4, judgeColour);
    m_stepList->viewport()->update();
}

void CVxSampleDlg::ScrollToStepRow(int row)
{
    if (row >= 0 && row < m_stepList->rowCount())
        m_stepList->scrollToItem(m_stepList->item(row, 0));
}

void CVxSampleDlg::SetIdle(bool idle, bool lock)
{
    if (idle)
        m_state = m_config.ModelCode == 0 ? MainWindowState::NoModel : MainWindowState::Idle;
    else
        m_state = lock ? MainWindowState::SelfCheck : MainWindowState::Measuring;
    ApplyEnables();
}

void CVxSampleDlg::SetModelState(int32_t code)
{
    m_state = StateForModel(code);
    ApplyEnables();
}

void CVxSampleDlg::EnableCapture(bool enabled)
{
    Control(1009)->setEnabled(enabled);
    if (enabled)
        Control(1009)->setFocus();
}

void CVxSampleDlg::RowRecorded(int, const StepArrays& steps, int stepCount, const std::string&, const std::string&)
{
    ++m_rowsRecorded;
    m_liveView->AddRow(steps, stepCount, m_data.MuxOn != 0, m_data.MuxScan != 0,
        [this](int position) { return m_controller->ChannelAtPosition(position); });
}

void CVxSampleDlg::ApplyEnables()
{
    MainWindowFacts facts;
    facts.Method = static_cast<int32_t>(m_controller->Method);
    facts.WorkerExists = m_controller->WorkerExists();
    facts.MuxOn = m_data.MuxOn != 0;
    facts.MuxScan = m_data.MuxScan != 0;
    const MainWindowEnables enables = EnablesFor(m_state, facts);
    for (const int id : { 1011, 1005, 1013, 1012, 1014, 1015, 1016, 1018, 1019 })
        Control(id)->setEnabled(enables.Options);
    Control(1006)->setEnabled(enables.Start);
    Control(1009)->setEnabled(enables.Capture);
    Control(1007)->setEnabled(enables.Stop);
    Control(1020)->setEnabled(enables.ManualChannel);
    if (enables.FocusCapture)
        Control(1009)->setFocus();
    for (size_t i = 0; i < m_menu.size(); ++i) {
        // "Measurement Set." stays unusable until its dialog is plugged in.
        const bool wired = i != kMenuMeasurementSet || m_measSetOpener;
        m_menu[i]->setEnabled(enables.Menu[i] && wired);
    }
}
