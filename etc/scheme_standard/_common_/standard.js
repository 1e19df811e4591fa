// Keyboard and swipe navigation for the album; every page works without it.
// Left and right arrows (or a swipe on a picture page) go to the previous and
// next page, Escape goes up to the index.
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
  var startX = null;
  var startY = null;
  document.addEventListener("touchstart", function (event) {
    if (event.touches.length !== 1) { startX = null; return; }
    startX = event.touches[0].clientX;
    startY = event.touches[0].clientY;
  }, { passive: true });
  document.addEventListener("touchend", function (event) {
    if (startX === null || !document.body.classList.contains("picture")) return;
    var dx = event.changedTouches[0].clientX - startX;
    var dy = event.changedTouches[0].clientY - startY;
    startX = null;
    // Mostly sideways and long enough: a swipe, not a scroll or a tap.
    if (Math.abs(dx) > 60 && Math.abs(dx) > 2 * Math.abs(dy)) follow(dx > 0 ? 'a[rel="prev"]' : 'a[rel="next"]');
  }, { passive: true });
})();
