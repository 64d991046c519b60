// Filters the contents list as the reader types: every entry whose text holds all the typed
// words stays, the rest hide. Works from the local disk, with no index to go stale.
document.addEventListener("DOMContentLoaded", function () {
  var box = document.getElementById("search-box");
  if (!box) return;
  var items = document.querySelectorAll("#contents-list li");
  box.addEventListener("input", function () {
    var words = box.value.toLowerCase().split(/\s+/).filter(Boolean);
    items.forEach(function (li) {
      var text = li.textContent.toLowerCase();
      li.style.display = words.every(function (w) { return text.indexOf(w) >= 0; }) ? "" : "none";
    });
  });
});
