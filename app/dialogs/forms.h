#pragma once

#include <QDialog>

#include "ui_form_grass.h"
#include "ui_form_ground.h"
#include "ui_form_scene.h"
#include "ui_form_trees.h"
#include "ui_form_wind.h"

// The five parameter windows. Each is a plain dialog carrying its form's
// controls as public members; the start-up code wires them to the driver.

/// Scene file buttons, animation, display switches and the rock.
class FormScene : public QDialog, public Ui::FormScene {
    Q_OBJECT
public:
    /// Builds the form's controls on a hidden dialog.
    explicit FormScene(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
};

/// Grass patches, density, level of detail, crushing, blade attributes and textures.
class FormGrass : public QDialog, public Ui::FormGrass {
    Q_OBJECT
public:
    /// Builds the form's controls on a hidden dialog.
    explicit FormGrass(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
};

/// Tree count, polygon budget, tree parameter file and the tree panel switch.
class FormTrees : public QDialog, public Ui::FormTrees {
    Q_OBJECT
public:
    /// Builds the form's controls on a hidden dialog.
    explicit FormTrees(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
};

/// Ground height and size, height map and texture files.
class FormGround : public QDialog, public Ui::FormGround {
    Q_OBJECT
public:
    /// Builds the form's controls on a hidden dialog.
    explicit FormGround(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
};

/// Breeze, gust and blast settings and the buttons that launch gusts and blasts.
class FormWind : public QDialog, public Ui::FormWind {
    Q_OBJECT
public:
    /// Builds the form's controls on a hidden dialog.
    explicit FormWind(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
};
