#ifndef FHRULEDIALOG_H
#define FHRULEDIALOG_H

#include <QDialog>

class QDialogButtonBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;

// Explains the naming keywords and lets the user try a pattern against a
// sample capture time (23:34:45 on 31 December 2014, first file of a folder).
class FHRuleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FHRuleDialog(QWidget *parent = nullptr);
    ~FHRuleDialog() override;

    void retranslate();
    // Shows the text, or the default example when the text is empty.
    void setExample(const QString &text);
    QLineEdit *exampleEdit() const;

private slots:
    void exampleEdited(const QString &text);

private:
    QLineEdit *m_exampleEdit;
    QGridLayout *m_layout;
    QLabel *m_introLabel;
    QLabel *m_tableLabel;
    QLabel *m_exampleCaption;
    QLabel *m_resultCaption;
    QLabel *m_resultLabel;
    QLabel *m_noteLabel;
    QLabel *m_instructionLabel;
    QFrame *m_separator;
    QDialogButtonBox *m_buttonBox;
};

#endif // FHRULEDIALOG_H
