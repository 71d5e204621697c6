#include "scene3d/frame.h"

#include <algorithm>

namespace kestrel::scene3d {

std::shared_ptr<Frame> Frame::create(const std::shared_ptr<Frame>& parent) {
  auto f = std::shared_ptr<Frame>(new Frame());
  if (parent) parent->addChild(f);
  return f;
}

bool Frame::addChild(const std::shared_ptr<Frame>& child) {
  if (!child) return false;
  for (const Frame* a = this; a; a = a->parent_.lock().get())
    if (a == child.get()) return false;  // would close a loop
  if (auto old = child->parent()) {
    if (old.get() == this) return true;
    old->deleteChild(child);
  }
  children_.push_back(child);
  child->parent_ = weak_from_this();
  return true;
}

bool Frame::deleteChild(const std::shared_ptr<Frame>& child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return false;
  (*it)->parent_.reset();
  children_.erase(it);
  return true;
}

std::shared_ptr<Frame> Frame::scene() {
  auto f = shared_from_this();
  while (auto p = f->parent()) f = p;
  return f;
}

Mat4 Frame::worldTransform() const {
  Mat4 m = local_;
  for (auto p = parent(); p; p = p->parent()) m = m * p->local_;
  return m;
}

namespace {
Mat4 parentWorld(const Frame& f) {
  auto p = f.parent();
  return p ? p->worldTransform() : Mat4{};
}
}  // namespace

Vec3 Frame::toParentPoint(const Frame* reference, Vec3 p) const {
  if (!reference) return p;
  return parentWorld(*this).inverse().transformPoint(reference->worldTransform().transformPoint(p));
}

Vec3 Frame::toParentDirection(const Frame* reference, Vec3 d) const {
  if (!reference) return d;
  return parentWorld(*this).inverse().transformDirection(reference->worldTransform().transformDirection(d));
}

void Frame::setPosition(const Frame* reference, Vec3 p) { local_.setRow(3, toParentPoint(reference, p)); }

Vec3 Frame::position(const Frame* reference) const {
  Vec3 world = worldTransform().row(3);
  return reference ? reference->worldTransform().inverse().transformPoint(world) : local_.row(3);
}

void Frame::setOrientation(const Frame* reference, Vec3 direction, Vec3 up) {
  Vec3 z = normalize(toParentDirection(reference, direction));
  Vec3 u = toParentDirection(reference, up);
  if (dot(z, z) == 0) return;
  Vec3 x = normalize(cross(u, z));
  if (dot(x, x) == 0) {  // up along the direction: any perpendicular will do
    x = normalize(cross(std::fabs(z.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0}, z));
  }
  Vec3 y = cross(z, x);
  local_.setRow(0, x);
  local_.setRow(1, y);
  local_.setRow(2, z);
}

void Frame::lookAt(const Frame& target, const Frame* reference) {
  Vec3 here = worldTransform().row(3), there = target.worldTransform().row(3);
  Vec3 up = reference ? reference->worldTransform().transformDirection({0, 1, 0}) : Vec3{0, 1, 0};
  Mat4 toParent = parentWorld(*this).inverse();
  Vec3 d = toParent.transformDirection(there - here);
  Vec3 u = toParent.transformDirection(up);
  setOrientation(nullptr, d, u);
}

void Frame::addScale(Combine how, Vec3 s) {
  Mat4 m = Mat4::scaling(s);
  switch (how) {
    case Combine::Replace: local_ = m; break;
    case Combine::Before: local_ = m * local_; break;
    case Combine::After: local_ = local_ * m; break;
  }
}

void Frame::addRotation(Combine how, Vec3 axis, float theta) {
  Mat4 m = Mat4::rotation(axis, theta);
  switch (how) {
    case Combine::Replace: local_ = m; break;
    case Combine::Before: local_ = m * local_; break;
    case Combine::After: local_ = local_ * m; break;
  }
}

void Frame::setVelocity(const Frame* reference, Vec3 v, bool rotateWithFrame) {
  velocity_ = toParentDirection(reference, v);
  velocityRotates_ = rotateWithFrame;
}

void Frame::setRotation(const Frame* reference, Vec3 axis, float theta) {
  rotationAxis_ = toParentDirection(reference, axis);
  rotationTheta_ = theta;
}

void Frame::applyVelocities(float delta) {
  if (rotationTheta_ != 0 && dot(rotationAxis_, rotationAxis_) > 0) {
    // Turn about the frame's own origin, keeping its position.
    Vec3 at = local_.row(3);
    local_.setRow(3, {});
    local_ = local_ * Mat4::rotation(rotationAxis_, rotationTheta_ * delta);
    local_.setRow(3, at);
  }
  Vec3 v = velocityRotates_ ? local_.transformDirection(velocity_) : velocity_;
  local_.setRow(3, local_.row(3) + v * delta);
}

void Frame::move(float delta) {
  // Without recursion: a program may nest frames as deep as it likes.
  std::vector<Frame*> pending{this};
  while (!pending.empty()) {
    Frame* f = pending.back();
    pending.pop_back();
    f->applyVelocities(delta);
    for (auto it = f->children_.rbegin(); it != f->children_.rend(); ++it) pending.push_back(it->get());
  }
}

Frame::~Frame() {
  // Children whose last owner this is go one by one, not by recursion.
  std::vector<std::shared_ptr<Frame>> pending = std::move(children_);
  while (!pending.empty()) {
    std::shared_ptr<Frame> f = std::move(pending.back());
    pending.pop_back();
    if (f.use_count() == 1)
      for (auto& c : f->children_) pending.push_back(std::move(c));
  }
}

bool Frame::deleteVisual(const std::shared_ptr<Visual>& v) {
  auto it = std::find(visuals.begin(), visuals.end(), v);
  if (it == visuals.end()) return false;
  visuals.erase(it);
  return true;
}

bool Frame::deleteLight(const std::shared_ptr<Light>& l) {
  auto it = std::find(lights.begin(), lights.end(), l);
  if (it == lights.end()) return false;
  lights.erase(it);
  return true;
}

}  // namespace kestrel::scene3d
