// The port search of "Communication Settings": one probe per step, so the dialog stays responsive
// and the message window shows which port and rate are being tried.
#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include "link/identification.h"
#include "ui/com_test_dlg.h"
#include "ui/small_dialogs.h"
#include "ui/ui_common.h"

void CComTestDlg::OnSearch()
{
    if (Searching() || !m_prompt.AskOkCancel(kSearchQuestion))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor); // restored when the search finishes
    CloseIfOpen();
    if (!m_logic.ApplyControls(ReadControls())) {
        QApplication::restoreOverrideCursor();
        return;
    }
    m_search = std::make_unique<CPortSearch>(m_link);
    m_stopSearch = false;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_progress)
            child->setEnabled(false);
    }
    if (!m_search->Done())
        m_progress->ShowProgress(SearchProgressText().toStdString());
    QTimer::singleShot(0, this, &CComTestDlg::OnSearchStep);
}

QString CComTestDlg::SearchProgressText() const
{
    const std::string& port = m_link.PortTable.FriendlyNames[m_search->Port()];
    return UiText(kSearchProgress).arg(QString::fromStdString(port)).arg(m_search->Baud());
}

void CComTestDlg::OnSearchStep()
{
    if (!m_search)
        return;
    if (m_search->Done() || m_stopSearch) {
        FinishSearch();
        return;
    }
    m_progress->SetText(SearchProgressText());
    // One bounded probe (open, "*idn?" with its time-out, close); the event loop runs between steps.
    m_search->Step();
    QTimer::singleShot(0, this, &CComTestDlg::OnSearchStep);
}

void CComTestDlg::FinishSearch()
{
    m_search.reset();
    m_link.SearchDone = 1;
    FillPortList();
    m_progress->CloseProgress();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setEnabled(true);
    QApplication::restoreOverrideCursor();
}
