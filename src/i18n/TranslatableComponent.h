// Our windows' components as the translation sees them: a tree by
// ownership, each node with a class name, a name and the texts it shows.
// The windows have no run-time type information, so each component that
// shows translatable text implements this small view of itself.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace monitor {

// The texts that translation reads and writes, by property name.
inline constexpr std::u16string_view kCaptionProperty = u"Caption";
inline constexpr std::u16string_view kHintProperty = u"Hint";
inline constexpr std::array<std::u16string_view, 2> kTranslatedProperties{kCaptionProperty, kHintProperty};

// What the walk over the tree needs to tell apart.
enum class ComponentKind {
  Component,    // anything else: a label, a button, a menu item
  Form,         // a window
  DataModule,   // a non-visual container
  Application,  // the application object, which owns the forms
  Scene,        // a scene of the vector UI pack, whose texts follow the active table on their own
};

class TranslatableComponent {
 public:
  virtual ~TranslatableComponent() = default;

  [[nodiscard]] virtual std::u16string ClassName() const = 0;  // "TMenuItem", "TLabel", ...
  [[nodiscard]] virtual std::u16string Name() const = 0;       // "About1", "Label1", ...
  [[nodiscard]] virtual ComponentKind Kind() const = 0;
  // The component that owns this one; null for the top of the tree.
  [[nodiscard]] virtual TranslatableComponent* Owner() const = 0;
  // The components this one owns, in ownership order.
  [[nodiscard]] virtual std::vector<TranslatableComponent*> Components() const = 0;
  // The text of a property ("Caption", "Hint"); nullopt when the component
  // has no such property.
  [[nodiscard]] virtual std::optional<std::u16string> Text(std::u16string_view property) const = 0;
  // Writes a property the component has; one it lacks is left alone.
  virtual void SetText(std::u16string_view property, std::u16string_view text) = 0;
};

}  // namespace monitor
