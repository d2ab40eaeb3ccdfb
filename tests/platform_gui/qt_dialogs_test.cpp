// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QInputDialog>
#include <QKeyEvent>
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
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
        } else {
            box->button(press)->click();
        }
    });
    platform::QtDialogs dialogs;
    const DialogButton pressed = dialogs.message(request);
    return {pressed, seen};
}

TEST(QtDialogs, MessageBoxShowsWhatWasAskedAndReportsThePressedButton) {
    using Box = QMessageBox;
    const struct {
        const char* caption;  // the text asks about it
        MessageIcon icon;
        MessageButtons buttons;
        DialogButton preset;
        bool onTop;
        Box::StandardButton press;  // NoButton: Escape
        DialogButton pressed;
        Box::Icon seenIcon;
        Box::StandardButtons seenButtons;
        Box::StandardButton seenDefault;
    } cases[] = {
        {"the preset is the default", MessageIcon::Question, MessageButtons::YesNo,
         DialogButton::No, false, Box::Yes, DialogButton::Yes, Box::Question, Box::Yes | Box::No,
         Box::No},
        // Escape must never pick Retry or Ignore: it answers with the cautious first button.
        {"escaped, without a preset, on top", MessageIcon::Critical,
         MessageButtons::AbortRetryIgnore, DialogButton::None, true, Box::NoButton,
         DialogButton::Abort, Box::Critical, Box::Abort | Box::Retry | Box::Ignore, Box::Abort},
        {"escaped with Cancel offered", MessageIcon::Exclamation, MessageButtons::YesNoCancel,
         DialogButton::Cancel, false, Box::NoButton, DialogButton::Cancel, Box::Warning,
         Box::Yes | Box::No | Box::Cancel, Box::Cancel},
        {"a preset the set does not hold falls back to the first button", MessageIcon::Information,
         MessageButtons::OK, DialogButton::No, false, Box::Ok, DialogButton::OK, Box::Information,
         Box::Ok, Box::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        const QString text = QStringLiteral("Is it %1?").arg(c.caption);
        const auto [pressed, seen] =
            showAndPress({c.caption, text, c.icon, c.buttons, c.preset, c.onTop}, c.press);
        EXPECT_EQ(pressed, c.pressed);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.text, text);
        EXPECT_EQ(seen.icon, c.seenIcon);
        EXPECT_EQ(seen.buttons, c.seenButtons);
        EXPECT_EQ(seen.defaultButton, c.seenDefault);
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
