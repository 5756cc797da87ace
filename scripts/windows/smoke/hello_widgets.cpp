// A window with a label in Chinese and a button; closes itself after
// the number of milliseconds given as the first argument, if any.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quilm – Windows"));
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("照片整理 – Überraschung – photos sorted"));
    QFont f = label->font();
    f.setPointSize(16);
    label->setFont(f);
    layout->addWidget(label);
    layout->addWidget(
        new QLabel(QStringLiteral("Style: %1, Qt %2")
                       .arg(app.style()->objectName(), QString::fromLatin1(qVersion()))));
    auto *button = new QPushButton(QStringLiteral("确定 OK"));
    QObject::connect(button, &QPushButton::clicked, &app, &QApplication::quit);
    layout->addWidget(button);
    window.resize(480, 200);
    window.move(40, 40);
    window.show();
    const QStringList args = app.arguments();
    if (args.size() > 1)
        QTimer::singleShot(args.at(1).toInt(), &app, &QApplication::quit);
    return app.exec();
}
