// Positions in and out: the game in the players' notation (#position) with
// a copy button, and a field that takes such a string, or a link to this
// page, and hands it to the page to load (which says what is wrong with a
// malformed one and then loads nothing).

const COPIED_MS = 1500;

export class PositionBox {
  #output;
  #copy;

  // elements: {output, copy, form, input}; onLoad(text) for a submitted one.
  constructor({ output, copy, form, input }, onLoad) {
    this.#output = output;
    this.#copy = copy;
    copy.addEventListener("click", () => this.#copyText());
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      if (onLoad(input.value.trim())) input.value = "";
    });
  }

  show(text) {
    if (this.#output.textContent !== text) this.#output.textContent = text;
    this.#copy.disabled = text === "";
  }

  // The clipboard, where the browser allows it; otherwise the text is
  // selected for the person to copy.
  async #copyText() {
    const text = this.#output.textContent;
    try {
      await navigator.clipboard.writeText(text);
      this.#copy.textContent = "Copied";
      setTimeout(() => { this.#copy.textContent = "Copy"; }, COPIED_MS);
    } catch {
      const range = document.createRange();
      range.selectNodeContents(this.#output);
      getSelection().removeAllRanges();
      getSelection().addRange(range);
    }
  }
}
