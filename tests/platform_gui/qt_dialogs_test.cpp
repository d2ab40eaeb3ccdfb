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
    const auto [pressed, seen] = showAndPress({"Quillon", "Are you sure?", MessageIcon::Question,
                                               MessageButtons::YesNo, DialogButton::No, false},
                                              QMessageBox::Yes);
    EXPECT_EQ(pressed, DialogButton::Yes);
    EXPECT_EQ(seen.caption, "Quillon");
    EXPECT_EQ(seen.text, "Are you sure?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.defaultButton, QMessageBox::No);
    EXPECT_FALSE(seen.onTop);
}

TEST(QtDialogs, MessageBoxDefaultsToTheFirstButtonAndEscapesCautiously) {
    {
        const auto [pressed, seen] =
            showAndPress({"Error", "Retry?", MessageIcon::Critical,
                          MessageButtons::AbortRetryIgnore, DialogButton::None, true},
                         QMessageBox::NoButton);
        EXPECT_EQ(pressed, DialogButton::Abort);
        EXPECT_EQ(seen.icon, QMessageBox::Critical);
        EXPECT_EQ(seen.defaultButton, QMessageBox::Abort);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_TRUE(seen.onTop);
    }
    {
        const auto [pressed, seen] =
            showAndPress({"Quillon", "Save?", MessageIcon::Exclamation, MessageButtons::YesNoCancel,
                          DialogButton::Cancel, false},
                         QMessageBox::NoButton);
        EXPECT_EQ(pressed, DialogButton::Cancel);
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.defaultButton, QMessageBox::Cancel);
    }
    {
        // A preset the set does not hold falls back to the first button.
        const auto [pressed, seen] = showAndPress({"Quillon", "Done.", MessageIcon::Information,
                                                   MessageButtons::OK, DialogButton::No, false},
                                                  QMessageBox::Ok);
        EXPECT_EQ(pressed, DialogButton::OK);
        EXPECT_EQ(seen.defaultButton, QMessageBox::Ok);
        EXPECT_EQ(seen.icon, QMessageBox::Information);
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
