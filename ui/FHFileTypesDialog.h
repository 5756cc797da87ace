#ifndef FHFILETYPESDIALOG_H
#define FHFILETYPESDIALOG_H

#include <QDialog>
#include <QVector>

class QCheckBox;
class QDialogButtonBox;
class QLabel;

// File > File types...: which families of files a sort moves, one check box
// per family with its suffixes. Files of the other families stay in the input.
class FHFileTypesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FHFileTypesDialog(QWidget *parent = nullptr);
    ~FHFileTypesDialog() override;

    // FHFileTypes::Family flags.
    void setFamilies(unsigned families);
    unsigned families() const;

    // The family as the user reads it ("Videos"), with its shortcut marker.
    static QString familyLabel(const QString &name);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void updateOk();

    QLabel *m_introLabel;
    QVector<QCheckBox *> m_boxes; // in the order of FHFileTypes::families()
    QDialogButtonBox *m_buttonBox;
};

#endif // FHFILETYPESDIALOG_H
