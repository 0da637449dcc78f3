var searchData=
[
  ['render_0',['Render',['../group__render.html',1,'']]]
];
