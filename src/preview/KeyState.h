#pragma once
// The keys the preview reads once per frame, and where their state comes from. The
// desktop program feeds a source from its key events; tests set the keys themselves.
namespace tessary {

enum class PreviewKey {
  Up, Down, Left, Right, Shift, Ctrl,
  Pad1, Pad2, Pad3, Pad4, Pad5, Pad6,
  Pad7,  // swaps the shown geometry with the skinned one
};
inline constexpr int kPreviewKeyCount = 13;

class IKeyStateSource {
 public:
  virtual ~IKeyStateSource() = default;
  // Whether `key` is held down at this moment.
  virtual bool IsDown(PreviewKey key) const = 0;
};

// A source whose keys are set by hand: the GUI sets them from key press and release
// events, tests from their scripts.
class CKeyboardState final : public IKeyStateSource {
 public:
  bool IsDown(PreviewKey key) const override { return down_[static_cast<int>(key)]; }
  void Set(PreviewKey key, bool isDown) { down_[static_cast<int>(key)] = isDown; }
  void ReleaseAll() {
    for (bool& d : down_) d = false;
  }

 private:
  bool down_[kPreviewKeyCount] = {};
};

}  // namespace tessary
