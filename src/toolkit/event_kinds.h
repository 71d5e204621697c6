#pragma once
// Every event that engine objects raise, one line each: the kind
// (gui::EventKind), the field that gives its member code in
// objects::EventCodes, the name of the member that binds its handler
// (nullptr: programs cannot bind it), and what the handler gets (the
// numbers in slots 0, 1, ...; the sender by reference after them; "read
// back" marks a slot the event takes back when the handler returns).
//
// The toolkit delivers a window's own events (mouse, keys, resize, close,
// paint, window state, drags); families raise the others themselves (a
// list's owner draw, a timer's tick, a tree's expanding ...) through the
// functions of events/dispatch.h. Close asks the engine to close (it
// decides); Paint comes before the window shows its picture. An empty
// text: the family that raises the event documents its arguments.
#define KESTREL_EVENT_KINDS(X)                                                                                       \
  X(Click, click, "OnClick", "sender")                                                                               \
  X(DblClick, dblClick, "OnDblClick", "sender")                                                                      \
  X(MouseDown, mouseDown, "OnMouseDown", "button (0 left, 1 right, 2 middle), x, y, shift code; sender")             \
  X(MouseUp, mouseUp, "OnMouseUp", "button (0 left, 1 right, 2 middle), x, y, shift code; sender")                   \
  X(MouseMove, mouseMove, "OnMouseMove", "x, y, shift code; sender")                                                 \
  X(KeyPress, keyPress, "OnKeyPress", "character code (0 to 255); sender")                                           \
  X(KeyDown, keyDown, "OnKeyDown", "virtual-key code, shift code; sender")                                           \
  X(KeyUp, keyUp, "OnKeyUp", "virtual-key code, shift code; sender")                                                 \
  X(Resize, resize, "OnResize", "sender")                                                                            \
  X(Close, close, "OnClose", "close action, read back (0 none, 1 hide, 2 free, 3 minimize); sender")                 \
  X(Paint, paint, "OnPaint", "sender")                                                                               \
  X(Show, show, "OnShow", "sender")                                                                                  \
  X(Change, change, "OnChange", "sender")                                                                            \
  X(WindowStateChange, windowStateChange, nullptr, "")                                                               \
  X(DragStart, startDrag, "OnStartDrag", "sender")                                                                   \
  X(DragEnd, endDrag, "OnEndDrag", "sender")                                                                         \
  X(Scroll, scroll, "OnScroll", "scroll code, position (read back); sender")                                         \
  X(SelectCell, selectCell, "OnSelectCell", "column, row, can-select 1 or 0 (read back); sender")                    \
  X(DrawItem, drawItem, "OnDrawItem", "item index, 0 when selected else 1, the item's rectangle (rect:50); sender")  \
  X(DrawCell, drawCell, "OnDrawCell", "column, row, 1 when selected else 0, the cell's rectangle (rect:50); sender") \
  X(MeasureItem, measureItem, "OnMeasureItem", "item index, item height (read back); sender")                        \
  X(Timer, timer, "OnTimer", "sender")                                                                               \
  X(Changing, changing, "OnChanging", "node index, allow flag (read back); sender")                                  \
  X(Expanding, expanding, "OnExpanding", "node index, allow flag (read back); sender")                               \
  X(Expanded, expanded, "OnExpanded", "node index; sender")                                                          \
  X(Collapsing, collapsing, "OnCollapsing", "node index, allow flag (read back); sender")                            \
  X(Collapsed, collapsed, "OnCollapsed", "node index; sender")                                                       \
  X(Deletion, deletion, "OnDeletion", "node index; sender")                                                          \
  X(Editing, editing, "OnEditing", "node index, allow flag (read back); sender")                                     \
  X(Edited, edited, "OnEdited", "node index, the edited text in string slot 1 (read back); sender")                  \
  X(Popup, popup, "OnPopup", "sender")                                                                               \
  X(ColumnClick, columnClick, "OnColumnClick", "column index; sender")                                               \
  X(Apply, apply, "OnApply", "sender")                                                                               \
  X(Moved, moved, "OnMoved", "sender")                                                                               \
  X(SetEditText, setEditText, "OnSetEditText", "column, row, the text in string slot 2; sender")                     \
  X(EllipsisClick, ellipsisClick, "OnElippsisclicked", "column, row; sender")                                        \
  X(PicklistDropdown, picklistDropdown, "OnPicklistDropdown", "column, row; sender")                                 \
  X(GetImageIndex, getImageIndex, "OnGetImageIndex", "node index; sender")                                           \
  X(GetSelectedIndex, getSelectedIndex, "OnGetSelectedIndex", "node index; sender")                                  \
  X(SectionClick, sectionClick, "OnSectionClick", "")                                                                \
  X(SectionResize, sectionResize, "OnSectionResize", "")                                                             \
  X(SectionTrack, sectionTrack, "OnSectionTrack", "")                                                                \
  X(DrawSection, drawSection, "OnDrawSection", "")                                                                   \
  X(Initialize, initialize, "OnInitialize", "sender")                                                                \
  X(InitializeSurface, initializeSurface, "OnInitializeSurface", "sender")                                           \
  X(ObjectMove, objectMove, "OnObjectMove", "sender (no embedded object moves here)")
