#include "toolkit/qt/qt_message_boxes.h"

#include <QMessageBox>
#include <QString>

namespace toolkit::qt {

int QtMessageBoxes::show(const MessageBoxRequest& request) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.prompt));
    box.setTextFormat(Qt::PlainText);
    box.setIcon((request.style & msgbox_style::critical) ? QMessageBox::Critical
                                                         : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return msgboxAnswerOk;
}

}  // namespace toolkit::qt
