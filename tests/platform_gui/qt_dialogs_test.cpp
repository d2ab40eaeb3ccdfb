// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "modal_driver.h"

namespace {

using platform::DialogButton;
using platform::MessageButtons;
using platform::MessageIcon;

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
    bool onTop = false;
};

// Shows the box, notes what it looked like and presses `press` (or Escape when NoButton).
std::pair<DialogButton, SeenBox> showAndPress(const platform::MessageBoxRequest& request,
                                              QMessageBox::StandardButton press) {
    SeenBox seen;
    whenShown<QMessageBox>([&seen, press](QMessageBox* box) {
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton()),
                box->windowModality(),
                box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
        if (press == QMessageBox::NoButton) {
            box->reject();
        } else {
            box->button(press)->click();
        }
    });
    platform::QtDialogs dialogs;
    const DialogButton pressed = dialogs.message(request);
    return {pressed, seen};
}

TEST(QtDialogs, MessageBoxShowsWhatWasAskedAndReportsThePressedButton) {
    struct Case {
        const char* name;
        platform::MessageBoxRequest request;
        QMessageBox::StandardButton press;  // NoButton: Escape
        DialogButton pressed;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
        bool onTop;
    };
    const Case cases[] = {
        {"the preset is the default",
         {"Quillon", "Are you sure?", MessageIcon::Question, MessageButtons::YesNo,
          DialogButton::No, false},
         QMessageBox::Yes,
         DialogButton::Yes,
         QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No,
         false},
        // Escape must never pick Retry or Ignore: it answers with the cautious first button.
        {"escaped, without a preset, on top",
         {"Error", "Retry?", MessageIcon::Critical, MessageButtons::AbortRetryIgnore,
          DialogButton::None, true},
         QMessageBox::NoButton,
         DialogButton::Abort,
         QMessageBox::Critical,
         QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
         QMessageBox::Abort,
         true},
        {"escaped with Cancel offered",
         {"Quillon", "Save?", MessageIcon::Exclamation, MessageButtons::YesNoCancel,
          DialogButton::Cancel, false},
         QMessageBox::NoButton,
         DialogButton::Cancel,
         QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Cancel,
         false},
        {"a preset the set does not hold falls back to the first button",
         {"Quillon", "Done.", MessageIcon::Information, MessageButtons::OK, DialogButton::No,
          false},
         QMessageBox::Ok,
         DialogButton::OK,
         QMessageBox::Information,
         QMessageBox::Ok,
         QMessageBox::Ok,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [pressed, seen] = showAndPress(c.request, c.press);
        EXPECT_EQ(pressed, c.pressed);
        EXPECT_EQ(seen.caption, c.request.caption);
        EXPECT_EQ(seen.text, c.request.text);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.onTop, c.onTop);
    }
}

TEST(QtDialogs, InputBoxReturnsTheTextOrNothingOnCancel) {
    platform::QtDialogs dialogs;
    QString seenLabel;
    QString seenDefault;
    whenShown<QInputDialog>([&](QInputDialog* box) {
        seenLabel = box->labelText();
        seenDefault = box->textValue();
        box->setTextValue(seenDefault + "*.dwg");
        box->accept();
    });
    EXPECT_EQ(dialogs.inputBox("File Specification", "Add File Specification", "/data/"),
              QString("/data/*.dwg"));
    EXPECT_EQ(seenLabel, "File Specification");
    EXPECT_EQ(seenDefault, "/data/");

    whenShown<QInputDialog>([](QInputDialog* box) { box->reject(); });
    EXPECT_EQ(dialogs.inputBox("Prompt", "Caption", "text"), std::nullopt);

    whenShown<QInputDialog>([](QInputDialog* box) {
        box->setTextValue("");
        box->accept();
    });
    EXPECT_EQ(dialogs.inputBox("Prompt", "Caption", "text"), QString(""));  // empty, not cancel
}

}  // namespace
