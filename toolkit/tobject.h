#pragma once

#include <QString>
#include <functional>

// Common base of everything a handler can receive as its sender: scene elements, controls,
// timers and animations. Handlers look at the sender's name or tag (a preset reads its tag).
class TObject {
public:
    TObject() = default;
    explicit TObject(QString name) : name_(std::move(name)) {}
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    const QString& Name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    int Tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

private:
    QString name_;
    int tag_ = 0;
};

using TNotifyEvent = std::function<void(TObject* sender)>;
