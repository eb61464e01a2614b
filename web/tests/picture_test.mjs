// Which texts a drawing leaves on the canvas and which it prints again.
//
//   node web/tests/picture_test.mjs
import assert from 'node:assert/strict';
import test from 'node:test';
import { sortTexts } from '../page/picture.js';

test('a drawing keeps the texts shown as they are and clear of the image put, and prints the rest whole, in order', () => {
  const shown = (text, box) => ({ text, box });
  const printed = [shown('title', [0, 0, 10, 10]), shown('left', [9, 0, 15, 10]), shown('gone', [100, 0, 110, 10]),
    shown('axis', [40, 0, 50, 10]), shown('twice', [60, 0, 70, 10]), shown('far', [200, 0, 210, 10]),
    { ...shown('moved', [300, 0, 310, 10]), x: 300 }];
  const wanted = ['title', 'left', 'new', 'axis', 'twice', 'twice', 'far', 'moved'].map((text, order) => ({ text, order }));
  wanted.at(-1).x = 320;
  // The image changed under the title, which lies over "left": both are printed again.
  const put = [[5, 5, 6, 6]];
  const boxes = { new: [80, 0, 90, 10], twice: [60, 20, 70, 30], moved: [320, 0, 330, 10] };
  const { keep, print } = sortTexts(printed, wanted, put, (item) => (item.box = boxes[item.text]));
  assert.deepEqual(keep.map((t) => t.text).sort(), ['axis', 'far', 'twice']);
  assert.deepEqual(print.map((t) => [t.text, t.order]), [['title', 0], ['left', 1], ['new', 2], ['twice', 5], ['moved', 7]]);
  // Each printed text's box goes back to the image first, and so do the boxes of a text gone or moved.
  for (const box of [[0, 0, 10, 10], [9, 0, 15, 10], [80, 0, 90, 10], [60, 20, 70, 30], [100, 0, 110, 10], [300, 0, 310, 10]])
    assert.ok(put.some((b) => b.join() === box.join()), `${box} put back`);
  assert.ok(!put.some((b) => b.join() === '200,0,210,10'));
  assert.deepEqual(keep.find((t) => t.text === 'axis').box, [40, 0, 50, 10]);
});
