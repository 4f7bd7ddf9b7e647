#include "app/dialogs/forms.h"

FormScene::FormScene(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
}

FormGrass::FormGrass(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
}

FormTrees::FormTrees(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
}

FormGround::FormGround(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
}

FormWind::FormWind(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
}
