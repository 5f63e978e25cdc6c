// Functions of the console's import, photo and access-control pages. The
// program copies single functions out of this file: each starts on a line
// "function NAME" and ends at the first line that begins with "}".

// Import, first page: a data file must be named.
function validateFields() {
	var form = document.forms["createform"];
	if (!form) {
		return false;
	}
	if (/^\s*$/.test(form.elements["fileUploadName"].value)) {
		alert("Please name the data file to import.");
		form.elements["fileUploadName"].focus();
		return false;
	}
	var delimiter = form.elements["delimiter"];
	if (delimiter && delimiter.value == "") {
		delimiter.value = ",";
	}
	return true;
}

function validateFieldsAndSubmit() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	if (/^\s*$/.test(form.elements["fileUploadName"].value)) {
		alert("Please name the data file to import.");
		return form.elements["fileUploadName"].focus();
	}
	var delimiter = form.elements["delimiter"];
	if (delimiter && delimiter.value == "") {
		delimiter.value = ",";
	}
	form.submit();
}

// Import, upper frame: sends the form that adds categories.
function saveCategories() {
	var form = document.forms["savecategform"];
	if (form) {
		form.submit();
	}
}

function saveSubCategories() {
	var form = document.forms["savesubcategform"];
	if (form) {
		form.submit();
	}
}

// Import, category pages: back to the options page without saving.
function cancelForm() {
	var form = document.forms["cancelForm"];
	if (form) {
		form.submit();
	}
}

// Customize Photos: a fixed size needs a height or a width, each a whole
// number when given.
function validateCustomizePhotoSubmit() {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	var fixed = false;
	var choices = form.elements["photoSize"];
	for (var i = 0; choices && i < choices.length; i++) {
		if (choices[i].checked && choices[i].value == "fixedSize") {
			fixed = true;
		}
	}
	var height = form.elements["photoHeight"].value;
	var width = form.elements["photoWidth"].value;
	if (!/^\s*[0-9]*\s*$/.test(height) || !/^\s*[0-9]*\s*$/.test(width)) {
		alert("Please enter the height and the width as whole numbers.");
		return form.elements["photoHeight"].focus();
	}
	if (fixed && /^\s*$/.test(height) && /^\s*$/.test(width)) {
		alert("Please enter a height or a width for the fixed size.");
		return form.elements["photoHeight"].focus();
	}
	form.submit();
}

// Access control: shows the rules of the attribute chosen in the list.
function updateAttrFrame(url) {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	var list = form.elements["adminAttribute"];
	var chosen = list.options[list.selectedIndex].value;
	if (chosen == "dummy") {
		return;
	}
	var address = url + (url.indexOf("?") >= 0 ? "&" : "?") +
		"attribId=" + encodeURIComponent(chosen);
	window.open(address, "attribMainFrame");
}

// Access control: opens the person selector for the people who may modify
// an attribute; the selector loads returnLink when done (encoded once here,
// as in dirAdminsSelector, with the form's choices added to it).
function AdminSelector(selectorUrl, returnLink) {
	var form = document.forms["createform"];
	var back = encodeURIComponent(decodeURIComponent(returnLink));
	if (form) {
		for (var i = 0; i < form.elements.length; i++) {
			var field = form.elements[i];
			if ((field.type == "radio" || field.type == "checkbox") && field.checked &&
					field.name != "attrib_uid_val") {
				back += "%26" + encodeURIComponent(field.name) + "%3D" + encodeURIComponent(field.value);
			}
		}
	}
	var address = selectorUrl + "?program=front&selector_mode=multi" +
		"&return_url=" + back;
	var opened = window.open(address, "KavriSelector",
		"width=640,height=520,resizable=yes,scrollbars=yes");
	if (typeof child != "undefined") {
		child = opened;
	}
	if (opened) {
		opened.focus();
	}
}

// Access control: the same for the people who may add or delete entries.
function AdminOperSelector(selectorUrl, returnLink) {
	var form = document.forms["createform"];
	var back = encodeURIComponent(decodeURIComponent(returnLink));
	if (form && form.elements["adminCheckbox"] && form.elements["adminCheckbox"].checked) {
		back += "%26adminCheckbox%3DdirAdmin";
	}
	var address = selectorUrl + "?program=front&selector_mode=multi" +
		"&return_url=" + back;
	var opened = window.open(address, "KavriSelector",
		"width=640,height=520,resizable=yes,scrollbars=yes");
	if (typeof child != "undefined") {
		child = opened;
	}
	if (opened) {
		opened.focus();
	}
}

// Access control: keeps the choices of the attribute form consistent. With
// access checks off ("NO") or default ("DEFAULT") nobody is listed; choosing
// people or the check boxes switches the check on ("YES").
function validate(what) {
	var form = document.forms["createform"];
	if (!form) {
		return;
	}
	var radios = form.elements["accessControl"];
	var mode = "";
	for (var i = 0; radios && i < radios.length; i++) {
		if (radios[i].checked) {
			mode = radios[i].value;
		}
	}
	var boxes = [];
	for (var j = 0; j < form.elements.length; j++) {
		var field = form.elements[j];
		if (field.type == "checkbox") {
			boxes.push(field);
		}
	}
	if (what == "accessControl") {
		if (mode != "YES") {
			for (var k = 0; k < boxes.length; k++) {
				boxes[k].checked = false;
			}
		}
		return;
	}
	var any = false;
	for (var m = 0; m < boxes.length; m++) {
		if (boxes[m].checked) {
			any = true;
		}
	}
	for (var n = 0; any && radios && n < radios.length; n++) {
		radios[n].checked = radios[n].value == "YES";
	}
}
