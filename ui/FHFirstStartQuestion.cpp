#include "ui/FHFirstStartQuestion.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The path with every link of its existing part resolved, so that two names of
// one folder compare equal; the part that does not exist yet is kept as typed.
QString resolvedPath(const QString &path)
{
    QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    QString rest;
    while (!info.exists() && !info.isRoot()) {
        rest.prepend(QLatin1Char('/') + info.fileName());
        info.setFile(info.absolutePath());
    }
    QString base = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + rest;
}

} // namespace

FHFirstStartQuestion::Answer FHFirstStartQuestion::ask(
    int toMove, int toStay, QWidget *parent, bool *dontAskAgain)
{
    QString text = tr("Photos to be moved and renamed: %1").arg(QLocale().toString(toMove));
    // Otherwise the files the user counts in the folder and this number differ.
    if (toStay > 0)
        text += QLatin1Char('\n')
            + tr("%n file(s) would stay in the input; the preview says why.", nullptr, toStay);
    QMessageBox box(
        QMessageBox::Question, tr("Sort the photos"), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("firstStartQuestion"));
    box.setInformativeText(tr("They move from the input folder into the output folder and are "
                              "renamed in the order they were taken. The preview lists every "
                              "file's new folder and name before anything moves."));
    // Both accept: the box lays out buttons of one role in the order they came.
    QPushButton *preview = box.addButton(tr("Preview"), QMessageBox::AcceptRole);
    preview->setObjectName(QStringLiteral("previewButton"));
    QPushButton *sort = box.addButton(tr("Sort"), QMessageBox::AcceptRole);
    sort->setObjectName(QStringLiteral("sortButton"));
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    box.setDefaultButton(preview);
    box.setEscapeButton(cancel);
    QCheckBox *check = nullptr;
    if (dontAskAgain) {
        check = new QCheckBox(tr("Don't ask again"), &box);
        check->setObjectName(QStringLiteral("dontAskAgainBox"));
        box.setCheckBox(check);
    }
    box.exec();

    const Answer answer = box.clickedButton() == preview ? Preview
        : box.clickedButton() == sort                    ? Sort
                                                         : Cancel;
    if (dontAskAgain)
        *dontAskAgain = answer != Cancel && check->isChecked();
    return answer;
}

bool FHFirstStartQuestion::isNeeded(bool hasStarted, bool askBeforeStart, const QString &inputDir,
    const QString &outputDir, bool recursive)
{
    if (!askBeforeStart)
        return false;
    if (!hasStarted)
        return true;
    const QString input = resolvedPath(inputDir);
    const QString output = resolvedPath(outputDir);
    return output == input || (recursive && output.startsWith(input + QLatin1Char('/')));
}
