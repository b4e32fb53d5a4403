// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/shell_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

void DesktopServices::showMessage(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool DesktopServices::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DesktopServices::openPage(const QString& pagePath)
{
    // A bare name means the current folder; the desktop wants the full path. Whether it managed
    // to open the page is not looked at.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(pagePath).absoluteFilePath()));
}

void DesktopServices::exitProgram()
{
    QCoreApplication::exit(0);
}
