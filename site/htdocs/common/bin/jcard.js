// Copied whole into pages that show a business card. Moving the mouse over a
// person link calls updateJCard with the person's name and the text, address
// and target of the card's four lines; the card on the page (the element
// named "JCard" or "jcard") shows them once the page has loaded.
var jcardPageLoaded = false;

function pageIsLoaded() {
	jcardPageLoaded = true;
}

function updateJCard(name, e1, u1, t1, e2, u2, t2, e3, u3, t3, e4, u4, t4) {
	if (!jcardPageLoaded) {
		return;
	}
	var card = document.getElementById("jcard") || document.JCard;
	if (!card) {
		return;
	}
	var lines = [name, e1, e2, e3, e4];
	if (typeof card.update == "function") {
		card.update(name, e1, u1, t1, e2, u2, t2, e3, u3, t3, e4, u4, t4);
		return;
	}
	if (card.getElementsByTagName) {
		var cells = card.getElementsByTagName("div");
		for (var i = 0; i < cells.length && i < lines.length; i++) {
			cells[i].textContent = lines[i] || "";
		}
	}
}
