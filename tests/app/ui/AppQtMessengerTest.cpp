#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "app/QtMessenger.h"

using tessaly::app::QtMessenger;
using tessaly::comm::Message;
using tessaly::comm::MessageAnswer;
using tessaly::comm::MessageButtons;
using tessaly::comm::MessageIcon;

Q_DECLARE_METATYPE(MessageIcon)
Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(MessageAnswer)

class AppQtMessengerTest : public QObject {
  Q_OBJECT

 private:
  struct Seen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
  };

  // Reads the box the messenger shows and presses `press` (or closes it with Escape).
  static void AnswerNextBox(Seen* seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [seen, press] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen->icon = box->icon();
      seen->title = box->windowTitle();
      seen->text = box->text();
      seen->buttons = box->standardButtons();
      if (press == QMessageBox::NoButton) {
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        box->button(press)->click();
      }
    });
  }

 private slots:
  void showsExactlyWhatItIsGiven_data() {
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("qt_icon");
    QTest::addColumn<int>("qt_buttons");
    QTest::addColumn<MessageAnswer>("answer");
    const int yes_no = QMessageBox::Yes | QMessageBox::No;
    const int ok_cancel = QMessageBox::Ok | QMessageBox::Cancel;
    QTest::newRow("critical ok") << MessageIcon::kCritical << MessageButtons::kOk
                                 << int{QMessageBox::Ok} << int{QMessageBox::Critical}
                                 << int{QMessageBox::Ok} << MessageAnswer::kOk;
    QTest::newRow("exclamation ok")
        << MessageIcon::kExclamation << MessageButtons::kOk << int{QMessageBox::Ok}
        << int{QMessageBox::Warning} << int{QMessageBox::Ok} << MessageAnswer::kOk;
    QTest::newRow("information ok")
        << MessageIcon::kInformation << MessageButtons::kOk << int{QMessageBox::Ok}
        << int{QMessageBox::Information} << int{QMessageBox::Ok} << MessageAnswer::kOk;
    QTest::newRow("no icon, yes") << MessageIcon::kNone << MessageButtons::kYesNo
                                  << int{QMessageBox::Yes} << int{QMessageBox::NoIcon} << yes_no
                                  << MessageAnswer::kYes;
    QTest::newRow("no icon, no") << MessageIcon::kNone << MessageButtons::kYesNo
                                 << int{QMessageBox::No} << int{QMessageBox::NoIcon} << yes_no
                                 << MessageAnswer::kNo;
    QTest::newRow("question, escape")
        << MessageIcon::kQuestion << MessageButtons::kYesNo << int{QMessageBox::NoButton}
        << int{QMessageBox::Question} << yes_no << MessageAnswer::kNo;
    QTest::newRow("ok/cancel, cancel")
        << MessageIcon::kExclamation << MessageButtons::kOkCancel << int{QMessageBox::Cancel}
        << int{QMessageBox::Warning} << ok_cancel << MessageAnswer::kCancel;
    QTest::newRow("ok/cancel, escape")
        << MessageIcon::kExclamation << MessageButtons::kOkCancel << int{QMessageBox::NoButton}
        << int{QMessageBox::Warning} << ok_cancel << MessageAnswer::kCancel;
  }

  void showsExactlyWhatItIsGiven() {
    QFETCH(MessageIcon, icon);
    QFETCH(MessageButtons, buttons);
    QFETCH(int, press);
    QFETCH(int, qt_icon);
    QFETCH(int, qt_buttons);
    QFETCH(MessageAnswer, answer);

    QWidget parent;
    parent.show();
    QtMessenger messenger(&parent);
    Seen seen;
    AnswerNextBox(&seen, static_cast<QMessageBox::StandardButton>(press));
    // Blanks and line breaks are part of the texts.
    const Message message{icon, QStringLiteral("Exit"),
                          QStringLiteral("               Are you sure ? \n<b>second</b> line"),
                          buttons};
    QCOMPARE(messenger.Show(message), answer);
    QCOMPARE(int{seen.icon}, qt_icon);
    QCOMPARE(seen.title, message.title);
    QCOMPARE(seen.text, message.text);
    QCOMPARE(int(seen.buttons), qt_buttons);
  }
};

QTEST_MAIN(AppQtMessengerTest)
#include "AppQtMessengerTest.moc"
