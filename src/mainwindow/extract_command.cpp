// "5) Extract Attributes": the selected drawings through the chosen template into the list.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "engine/extraction_run.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"

namespace {

// What the run asks of the window while it works.
class WindowRunUi : public ExtractionRunUi {
public:
    WindowRunUi(platform::Platform& platform, QLabel* status)
        : m_platform(platform), m_status(status) {}
    void processPendingEvents() override { m_platform.ui.processEvents(); }
    void showError(const QString& caption, const QString& text) override {
        m_platform.dialogs.messageBox(caption, text, platform::MessageIcon::Exclamation,
                                      platform::MessageButtons::OK, platform::DialogButton::None,
                                      true);
    }
    void setStatus(const QString& text) override {
        m_status->setText(text);
        m_status->repaint();
    }
    void setBusy(bool busy) override {
        if (busy) {
            m_hourglass = std::make_unique<platform::Hourglass>(m_platform.ui);
        } else {
            m_hourglass.reset();
        }
    }

private:
    platform::Platform& m_platform;
    QLabel* m_status;
    std::unique_ptr<platform::Hourglass> m_hourglass;
};

}  // namespace

void Form1::Command15_Click() {
    if (!beginOperation()) return;
    ExtractionRunRequest request;
    request.programFolder = mstrAppPath;
    request.templateFolder = Dir3->path();
    const QList<QListWidgetItem*> templates = List1->selectedItems();
    request.templateName = templates.isEmpty() ? QString() : templates[0]->text();
    request.drawingFolder = Dir1->path();
    for (int i = 0; i < List2->count(); ++i) {
        if (List2->item(i)->isSelected()) request.drawingNames << List2->item(i)->text();
    }
    request.form.includeDrawingName = Check1->checkState() == Qt::Checked;
    request.form.fullPath = Check5->checkState() == Qt::Checked;
    request.form.timestamp = Check6->checkState() == Qt::Checked;
    request.form.commaDelimited = Option1->isChecked();
    request.form.spaces = static_cast<quint8>(std::clamp(Text4->text().trimmed().toInt(), 0, 255));

    const int countBefore = List3->count();
    WindowRunUi ui(m_platform, Label4);
    const ExtractionRunResult result =
        runExtraction(request, drawingApplication, ui, m_platform.clock);
    if (result.outcome != ExtractionRunResult::Outcome::Finished) {
        endOperation();
        return;
    }
    List3->addItems(result.records);

    if (List3->count() == 0) {
        m_platform.ui.beep();
        setStatus(finalStatus(result, true));
        endOperation();
        return;
    }
    List2->clearSelection();
    SetListScrollWidth(List3);
    for (QPushButton* b : {Command3, Command6, Command7}) b->setEnabled(true);
    Command15->setEnabled(false);
    List3->setToolTip(QStringLiteral(" Select items to send "));
    if (List3->count() == countBefore) {
        m_platform.ui.beep();
        setStatus(finalStatus(result, true));
    } else {
        setStatus(finalStatus(result, false));
        const int selected = static_cast<int>(List3->selectedItems().size());
        if (selected > 0) {
            Label11->setText(QString::number(selected) + QStringLiteral(" of ") +
                             QString::number(List3->count()) + QStringLiteral(" selected"));
        }
    }
    endOperation();
}
