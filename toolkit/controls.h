#pragma once

#include "toolkit/tobject.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QWidget>
#include <initializer_list>
#include <vector>

class QLabel;
class QSlider;

// Every control below fires its change event once per real change of its stored value, whether the
// change comes from the user or from code; setting the value it already holds fires nothing. The
// event runs after the value is stored, so a handler reading the control sees the new value.

// A slider over a single-precision real range, with a small label showing the value.
class TTrackBar : public QWidget, public TObject {
    Q_OBJECT
public:
    TTrackBar(QWidget* parent, const QString& name, float min, float max, float value, float frequency = 0,
              Qt::Orientation orientation = Qt::Horizontal);

    float Value() const { return value_; }
    void setValue(float value);
    float Min() const { return min_; }
    float Max() const { return max_; }
    float Frequency() const { return frequency_; }
    void setMin(float min);
    void setMax(float max);
    void setFrequency(float frequency);
    bool ShowValue() const;
    void setShowValue(bool show);

    TNotifyEvent OnChange;

private:
    float fitted(double value) const;
    void store(float value);
    void refit();
    bool positionPerStep() const;
    int positionCount() const;
    int positionOf(float value) const;
    double valueAt(int position) const;
    void syncSlider();
    void syncLabel();

    QSlider* slider_;
    QLabel* label_;
    float min_;
    float max_;
    float frequency_;
    float value_;
};

class TCheckBox : public QCheckBox, public TObject {
    Q_OBJECT
public:
    TCheckBox(QWidget* parent, const QString& name, const QString& text, bool checked = false);

    bool IsChecked() const { return isChecked(); }
    void setIsChecked(bool checked) { setChecked(checked); }

    TNotifyEvent OnChange;
};

// An on/off toggle drawn as a rounded track with a sliding knob.
class TSwitch : public QAbstractButton, public TObject {
    Q_OBJECT
public:
    TSwitch(QWidget* parent, const QString& name, bool checked = false);

    bool IsChecked() const { return isChecked(); }
    void setIsChecked(bool checked) { setChecked(checked); }
    QSize sizeHint() const override { return {44, 22}; }

    TNotifyEvent OnChange;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TButton : public QPushButton, public TObject {
    Q_OBJECT
public:
    TButton(QWidget* parent, const QString& name, const QString& text);

    QString Text() const { return text(); }
    void setText(const QString& text) { QPushButton::setText(text); }
    bool StaysPressed() const { return isCheckable(); }
    void setStaysPressed(bool staysPressed) { setCheckable(staysPressed); }
    // A button that does not stay pressed reports whether it is held down right now.
    bool IsPressed() const { return isCheckable() ? isChecked() : isDown(); }
    void setIsPressed(bool pressed) { setChecked(pressed); }
    // Like a user's click: a disabled button ignores it.
    void Click() { click(); }

    TNotifyEvent OnClick;
};

class TRadioButton;

// Keeps at most one of its buttons checked. It does not own the buttons.
class TRadioGroup {
public:
    TRadioGroup() = default;
    ~TRadioGroup();
    TRadioGroup(const TRadioGroup&) = delete;
    TRadioGroup& operator=(const TRadioGroup&) = delete;

    TRadioButton* Checked() const;
    // Leaves every button unchecked without an event: the choice no longer holds.
    void uncheckAll();

private:
    friend class TRadioButton;
    void add(TRadioButton& button);
    void remove(TRadioButton& button);
    void check(TRadioButton& winner);

    std::vector<TRadioButton*> buttons_;
};

class TRadioButton : public QRadioButton, public TObject {
    Q_OBJECT
public:
    TRadioButton(QWidget* parent, const QString& name, const QString& text, TRadioGroup& group);
    ~TRadioButton() override;

    bool IsChecked() const { return isChecked(); }
    void setIsChecked(bool checked);

    TNotifyEvent OnChange;
    // A click on the button that is already checked, which changes nothing and so raises no OnChange.
    TNotifyEvent OnClickWhileChecked;

protected:
    void nextCheckState() override;

private:
    friend class TRadioGroup;
    void notifyChange();

    TRadioGroup* group_;
};

class TEdit : public QLineEdit, public TObject {
    Q_OBJECT
public:
    TEdit(QWidget* parent, const QString& name, const QString& text = {});

    QString Text() const { return text(); }
    void setText(const QString& text);

    TNotifyEvent OnChange;

private:
    bool settingText_ = false;
};

// Whole numbers only; it never takes keyboard focus, its arrows work with the mouse.
class TSpinBox : public QSpinBox, public TObject {
    Q_OBJECT
public:
    TSpinBox(QWidget* parent, const QString& name, int min, int max, int value);

    double Value() const { return value(); }
    void setValue(double value);

    TNotifyEvent OnChange;
};

struct TListItem {
    QString text;
    QString detail;
};

// Draws an item's text on top and its detail, smaller and dimmer, below it.
class TTextDetailDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TTextDetailDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

    // 0 sizes each row to its content.
    void setRowHeight(int height) { rowHeight_ = height; }
    int RowHeight() const { return rowHeight_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int DetailRole = Qt::UserRole;

private:
    int rowHeight_ = 0;
};

// Filling the list leaves the chosen index alone (-1 until something is chosen); clearing it
// forgets the choice without an event, since the list is being rebuilt.
class TComboBox : public QComboBox, public TObject {
    Q_OBJECT
public:
    TComboBox(QWidget* parent, const QString& name);

    void AddItem(const QString& text, const QString& detail = {});
    void ClearItems();
    int Count() const { return count(); }
    TListItem Item(int index) const;
    int ItemIndex() const { return currentIndex(); }
    // -1 chooses nothing; any other index outside the list throws std::out_of_range.
    void setItemIndex(int index);
    void setItemHeight(int height);
    // Fusion's own menu-like drop-down shows every row; the program's dark style honours this.
    void setDropDownCount(int rows) { setMaxVisibleItems(rows); }

    TNotifyEvent OnChange;

private:
    TTextDetailDelegate* delegate_;
};

// The chosen index is the selected row: the keyboard cursor alone does not choose an item.
class TListBox : public QListWidget, public TObject {
    Q_OBJECT
public:
    TListBox(QWidget* parent, const QString& name);

    void AddItem(const QString& text, const QString& detail = {});
    void ClearItems();
    int Count() const { return count(); }
    TListItem Item(int index) const;
    int ItemIndex() const;
    // -1 chooses nothing; any other index outside the list throws std::out_of_range.
    void setItemIndex(int index);
    void setItemHeight(int height);

    TNotifyEvent OnChange;
    TNotifyEvent OnDblClick;

private:
    TTextDetailDelegate* delegate_;
    bool selectingFromCode_ = false;
};

// What a control is, the name a screen reader announces, and what it does, its tooltip, which a
// screen reader reads as the description, followed by `more` where the tip alone is not enough. A
// control that hands its keyboard focus to an inner widget (a track bar to its slider) passes both
// on, since the inner widget is where a screen reader lands.
void describe(QWidget& control, const QString& name, const QString& tip, const QString& more = {});

// Tab visits the widgets in this order. One that never takes focus is left out rather than
// breaking the chain.
void chainTabOrder(std::initializer_list<QWidget*> widgets);

// Gives a window and every control inside it, now or added later, the program's dark look: Fusion
// drawing with a dark palette. Calling it again changes nothing.
void applyDarkStyle(QWidget& window);
