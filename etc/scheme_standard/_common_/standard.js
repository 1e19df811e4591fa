// Keyboard navigation for the album; every page works without it.
// Left and right arrows go to the previous and next page, Escape goes up to
// the index.
(function () {
  "use strict";
  function follow(selector) {
    var link = document.querySelector(selector);
    if (link && link.href) window.location.href = link.href;
  }
  document.addEventListener("keydown", function (event) {
    if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    var target = event.target;
    if (target && (target.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(target.tagName))) return;
    if (event.key === "ArrowLeft") follow('a[rel="prev"]');
    else if (event.key === "ArrowRight") follow('a[rel="next"]');
    else if (event.key === "Escape") follow("a.up");
  });
})();
