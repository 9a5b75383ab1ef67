#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace kirvan {

// What the plan area shows: the title planTitle, the picture stretched over planPicture (or why it cannot
// be shown), and currentPlan, the plan path last chosen for display, by which markers are shown.
class PlanArea {
public:
    // Until the window reports its size, the size of the design.
    static constexpr QSize designSize{640, 400};

    const QString& currentPlan() const { return currentPlan_; }
    const QString& title() const { return title_; }
    const QImage& picture() const { return picture_; }
    // Shown in place of a picture that cannot be read; empty otherwise.
    const QString& message() const { return message_; }
    // planPicture's size: the picture is stretched to it and new markers are placed by it.
    QSize size() const { return size_; }

    void setCurrentPlan(const QString& plan) { currentPlan_ = plan; }
    void setSize(QSize size);
    void show(const QString& title, const QImage& picture, const QString& message);
    // The picture alone, the title as it is (a plan just loaded in plan edit mode).
    void showPicture(const QImage& picture, const QString& message);
    void clear() { show({}, {}, {}); }

    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
    // After every change of size, before the view is told of it.
    void setOnResized(std::function<void()> handler) { onResized_ = std::move(handler); }

private:
    void changed();

    QString currentPlan_;
    QString title_;
    QImage picture_;
    QString message_;
    QSize size_ = designSize;
    std::function<void()> onChanged_;
    std::function<void()> onResized_;
};

} // namespace kirvan
