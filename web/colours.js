// The two colours and the empty point, as every module of the page names
// them: black moves first.

export const EMPTY = 0;
export const BLACK = 1;
export const WHITE = 2;

export function colourName(colour) {
  return colour === BLACK ? "black" : "white";
}

export function otherColour(colour) {
  return colour === BLACK ? WHITE : BLACK;
}
