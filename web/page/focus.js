// Focus given back: after a message or the help, the control that had the
// focus gets it again, a box with its caret and selection, so that the next
// key typed lands where it would have.

// The focused control now, and a function that gives the focus back to it.
export function rememberFocus() {
  const element = document.activeElement;
  const box = element instanceof HTMLInputElement;
  const selection = box ? [element.selectionStart, element.selectionEnd, element.selectionDirection] : null;
  return () => {
    if (!element?.isConnected || element === document.body) return;
    // A box the browser gave the focus back to without its caret takes no
    // typing: it must be focused afresh.
    if (box && document.activeElement === element) element.blur();
    element.focus({ preventScroll: true });
    if (box) element.setSelectionRange(...selection);
  };
}
